// What only shows on a real screen with a real pointer: run on an X server of its own
// (xvfb-run), with the platform xcb.
#include "data/CardTableModel.h"
#include "data/CardTestData.h"
#include "data/ReferenceLists.h"
#include "support/TestEnvironment.h"
#include "ui/controls/CardGrid.h"
#include "ui/controls/CurrentCellDelegate.h"
#include "ui/controls/LookupComboBox.h"

#include <QApplication>
#include <QCursor>
#include <QTest>
#include <QToolTip>

class DesktopChecks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }

    // The long-entry tip is laid over the box, under the pointer: it stays while the pointer
    // rests there, as a person would see it a second later.
    void longEntryTipStaysUnderThePointer()
    {
        const ReferenceList list = ReferenceLists().subcommissionFilter();
        QWidget window;
        window.setAttribute(Qt::WA_AlwaysShowToolTips);
        LookupComboBox box(&window);
        box.setList(&list);
        box.setCurrentIndex(1);
        box.setGeometry(20, 20, 120, box.sizeHint().height());
        window.resize(300, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCursor::setPos(box.mapToGlobal(box.rect().center()));
        QVERIFY(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000));
        QCOMPARE(QToolTip::text(), list.at(1).text);
        QTest::qWait(1000);
        QVERIFY2(QToolTip::isVisible(), "the tip vanished with the pointer unmoved");
    }

    // The current cell stands out of its highlighted row, in an active window and in one
    // that has lost the focus.
    void currentCellStandsOutOfItsRow()
    {
        CardTable table;
        for (const char *name : {"АБРАМОВ", "БЕЛОВ", "ВОЛКОВ"})
            addCard(table, 1, 404, QString::fromUtf8(name));
        CardTableModel model(&table);
        CardGrid grid;
        grid.setColumns({{CardFields::FAM, 120}, {CardFields::NAME, 120}, {CardFields::LPU, 120}});
        grid.setCardModel(&model);
        grid.resize(420, 160);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCurrentIndex(model.index(1, CardFields::NAME));

        for (const bool active : {true, false}) {
            if (active) {
                grid.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&grid));
            } else {
                QWidget other;
                other.show();
                other.activateWindow();
                QVERIFY(QTest::qWaitFor([&] { return !grid.isActiveWindow(); }));
            }
            const QImage shot = grid.viewport()->grab().toImage();
            const auto colourAt = [&](int field) {
                // Right of the short text, inside any focus frame the style draws.
                const QRect cell = grid.visualRect(model.index(1, field));
                return shot.pixelColor(QPoint(cell.right() - 6, cell.center().y()) *
                                       shot.devicePixelRatio());
            };
            const QColor row = grid.palette().color(QPalette::Highlight);
            QCOMPARE(colourAt(CardFields::FAM), row);
            QCOMPARE(colourAt(CardFields::LPU), row);
            // The style may shade the focused cell a little on top of its colour.
            const QColor cell = colourAt(CardFields::NAME);
            const QColor wanted = CurrentCellDelegate::currentCellColor(row);
            QVERIFY2(qAbs(cell.lightness() - wanted.lightness()) < 12 &&
                         qAbs(cell.hue() - wanted.hue()) < 12,
                     qPrintable(cell.name()));
        }
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    DesktopChecks checks;
    return QTest::qExec(&checks, argc, argv);
}

#include "desktop_checks.moc"
