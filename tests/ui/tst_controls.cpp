// The grid and the list box with key codes, on their own.
#include "data/CardTableModel.h"
#include "data/CardTestData.h"
#include "data/RandomTableOps.h"
#include "data/ReferenceLists.h"
#include "support/TestEnvironment.h"
#include "ui/controls/CardGrid.h"
#include "ui/controls/CurrentRowLink.h"
#include "ui/controls/LookupComboBox.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListView>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <set>

namespace {

// Remembers which rows the views asked for.
class CountingModel : public CardTableModel
{
public:
    using CardTableModel::CardTableModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        rows.insert(index.row());
        return CardTableModel::data(index, role);
    }
    mutable std::set<int> rows;
};

const QList<CardGrid::Column> kColumns = {{CardFields::C_FTYPE, 169},
                                          {CardFields::FAM, 187},
                                          {CardFields::NAME, 92},
                                          {CardFields::LPU, 78},
                                          {CardFields::CATDATE, 0}};

// Typing text, Cyrillic letters included (QTest::keyClicks knows ASCII only).
void type(QWidget *target, const QString &text)
{
    for (const QChar c : text) {
        const auto key = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, target, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, target, key, QString(c), Qt::NoModifier);
    }
}

} // namespace

class TstControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }

    // However many cards, the grid reads the rows it shows and no others.
    void gridReadsVisibleRowsOnly()
    {
        CardTable table;
        {
            ScopedViewUpdates views(table);
            for (int i = 0; i < 20000; ++i)
                addCard(table, 1 + i % 2, 404, QStringLiteral("Ф%1").arg(i, 5, 10, QChar(u'0')));
        }
        CountingModel model(&table);
        CardGrid grid;
        grid.setCardModel(&model);
        grid.setColumns(kColumns);
        grid.resize(600, 400);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const int visible = grid.viewport()->height() / grid.rowHeight(0) + 2;
        QVERIFY2(int(model.rows.size()) <= visible, qPrintable(QString::number(model.rows.size())));
        model.rows.clear();
        grid.scrollToBottom();
        table.setSortField("FAM"); // a reset of 20000 rows
        QCoreApplication::processEvents();
        QVERIFY(!model.rows.empty() && int(model.rows.size()) <= visible);
    }

    // The grid and the table follow each other through CurrentRowLink, whatever the table does.
    void gridKeptInStepWithTheTable()
    {
        for (int seed = 1; seed <= 20; ++seed) {
            CardTable t;
            CardTableModel model(&t);
            CardGrid grid;
            grid.setCardModel(&model);
            grid.setColumns(kColumns);
            CurrentRowLink link(&t, &grid);
            grid.resize(400, 300);
            grid.show();
            RandomTableOps ops(seed);
            for (int step = 0; step < 150; ++step) {
                ops.step(t);
                if (ops.depth > 0)
                    continue;
                const QModelIndex current = grid.currentIndex();
                QVERIFY2((current.isValid() ? current.row() : -1) == t.currentRow(),
                         qPrintable(QStringLiteral("seed %1 step %2").arg(seed).arg(step)));
                QVERIFY(!current.isValid() || grid.selectionModel()->isRowSelected(current.row()));
            }
            ops.resumeAll(t);
        }
    }

    void gridLayoutRoundTrip()
    {
        CardTable table;
        CardTableModel model(&table);
        CardGrid grid;
        grid.setCardModel(&model);
        grid.setColumns(kColumns);
        GridLayoutState state = grid.layoutState();
        QCOMPARE(state.columns.size(), kColumns.size()); // FTYPE and PODKOM are never columns
        QCOMPARE(state.columns.at(1).fieldName, QStringLiteral("FAM"));
        QCOMPARE(state.columns.at(1).width, 187);
        state.columns.move(3, 0);         // LPU first
        state.columns[1].width = 120;     // C_FTYPE
        state.columns[2].visible = false; // FAM hidden, its width kept
        state.columns[4].sortIndex = 3;
        state.rowHeight = 25;
        grid.applyLayout(state);
        QCOMPARE(grid.visibleFields(), (QList<int>{CardFields::LPU, CardFields::C_FTYPE,
                                                   CardFields::NAME, CardFields::CATDATE}));
        QCOMPARE(grid.rowHeight(0), 0); // no rows; the height shows in the next layout
        const GridLayoutState back = grid.layoutState();
        for (int i = 0; i < state.columns.size(); ++i) {
            QCOMPARE(back.columns.at(i).fieldName, state.columns.at(i).fieldName);
            QCOMPARE(back.columns.at(i).width, state.columns.at(i).width);
            QCOMPARE(back.columns.at(i).visible, state.columns.at(i).visible);
            QCOMPARE(back.columns.at(i).sortIndex, state.columns.at(i).sortIndex);
        }
        QCOMPARE(back.rowHeight, 25);
        QCOMPARE(grid.verticalHeader()->defaultSectionSize(), 25);
    }

    void gridKeysAndCopy()
    {
        CardTable table;
        addCard(table, 1, 404, "А");
        addCard(table, 2, 410, "Б");
        addCard(table, 1, 403, "В");
        CardTableModel model(&table);
        CardGrid grid;
        grid.setCardModel(&model);
        grid.setColumns({{CardFields::FAM, 0}, {CardFields::LPU, 0}});
        QSignalSpy keys(&grid, &CardGrid::commandKey);
        for (const auto mods :
             {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
            for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Insert, Qt::Key_Delete})
                QTest::keyClick(&grid, Qt::Key(key), mods);
        }
        QCOMPARE(keys.size(), 16);
        QCOMPARE(keys.at(1).at(0).toInt(), int(Qt::Key_Return)); // Enter on the keypad too
        QCOMPARE(keys.at(15).at(0).toInt(), int(Qt::Key_Delete));

        // Rows 0 and 2, with the titles; the TAB that ends a workplace code does not split cells.
        table.setCurrentRow(0);
        grid.selectionModel()->select(model.index(0, 0), QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
        grid.selectionModel()->select(model.index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("Фамилия\tМесто работы\nА\t600066\nВ\t600066\n"));
        QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(grid.selectionText().count(u'\n'), 4);
    }

    void gridCutTextTooltip()
    {
        CardTable table;
        addCard(table, 1, 404, "ОЧЕНЬДЛИННАЯФАМИЛИЯ");
        CardTableModel model(&table);
        CardGrid grid;
        grid.setCardModel(&model);
        grid.setColumns({{CardFields::FAM, 30}, {CardFields::NAME, 200}});
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const auto tipAt = [&](int field) {
            QToolTip::hideText(); // after a moment
            if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
                return QStringLiteral("<the last tooltip stays>");
            const QRect cell = grid.visualRect(model.index(0, field));
            QHelpEvent help(QEvent::ToolTip, cell.center(),
                            grid.viewport()->mapToGlobal(cell.center()));
            QApplication::sendEvent(grid.viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(CardFields::FAM), QStringLiteral("ОЧЕНЬДЛИННАЯФАМИЛИЯ"));
        QCOMPARE(tipAt(CardFields::NAME), QString());
    }

    void lookupTyping_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("selected"); // the rest of the text, shown selected
        QTest::newRow("first match") << "вр" << 0 << "ачи и средние";
        QTest::newRow("letter case ignored") << "СРЕД" << 2 << "ние медработники";
        QTest::newRow("a character matching nothing is ignored") << "вэр" << 0 << "ачи и средние";
        QTest::newRow("nothing matches") << "x" << -1 << "";
    }

    void lookupTyping()
    {
        QFETCH(QString, typed);
        QFETCH(int, index);
        QFETCH(QString, selected);
        LookupComboBox box;
        box.setList(&ReferenceLists::cardTypeFilter());
        QSignalSpy chosen(&box, &LookupComboBox::keyChosen);
        type(box.lineEdit(), typed);
        QCOMPARE(box.currentIndex(), index);
        QCOMPARE(box.lineEdit()->selectedText(), selected);
        QCOMPARE(chosen.isEmpty(), index < 0);
        if (index >= 0)
            QCOMPARE(chosen.last().at(0).toString(),
                     ReferenceLists::cardTypeFilter().at(index).key);
    }

    // Words inside the texts, by the keys a clerk presses: "|" is a pause, "\n" Enter, "\t" Tab,
    // "~" Escape. listed: the entries the drop-down showed before the last key.
    void lookupWordSearch_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("commits");
        QTest::newRow("words inside, Enter") << "обл бол\n" << 0 << 9 << 1;
        QTest::newRow("beginning fails, words go on") << "гбуз обл дет\n" << 1 << 3 << 1;
        QTest::newRow("Tab takes the highlighted") << "спид\t" << 14 << 1 << 1;
        QTest::newRow("е for ё") << "противотуберкулезный\n" << 5 << 3 << 1;
        QTest::newRow("Escape keeps the beginning chosen") << "обл бол~" << 3 << 9 << 0;
        QTest::newRow("a pause starts afresh") << "гбз|обл" << 3 << 0 << 0;
        QTest::newRow("a beginning still chooses at once") << "гбуз «обл" << 0 << 0 << 0;
    }

    void lookupWordSearch()
    {
        QFETCH(QString, keys);
        QFETCH(int, index);
        QFETCH(int, listed);
        QFETCH(int, commits);
        const int interval = QApplication::keyboardInputInterval();
        QApplication::setKeyboardInputInterval(150);
        const auto restore = qScopeGuard([&] { QApplication::setKeyboardInputInterval(interval); });
        QWidget window;
        LookupComboBox box(&window);
        QLineEdit after(&window);
        box.setList(&ReferenceLists::normalWorkplaces());
        window.show();
        box.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy committed(&box, &LookupComboBox::entryCommitted);
        int shown = 0;
        for (const QChar c : keys) {
            QWidget *target =
                box.view()->isVisible() ? static_cast<QWidget *>(box.view()) : box.lineEdit();
            const auto *list = static_cast<QListView *>(box.view());
            shown = 0;
            for (int row = 0; box.view()->isVisible() && row < box.count(); ++row)
                shown += list->isRowHidden(row) ? 0 : 1;
            if (c == u'|')
                QTest::qWait(250);
            else if (c == u'\n')
                QTest::keyClick(target, Qt::Key_Return);
            else if (c == u'\t')
                QTest::keyClick(target, Qt::Key_Tab);
            else if (c == u'~')
                QTest::keyClick(target, Qt::Key_Escape);
            else
                type(target, QString(c));
        }
        QCOMPARE(shown, listed);
        QCOMPARE(box.currentIndex(), index);
        QCOMPARE(committed.size(), commits);
        QTRY_VERIFY(!box.view()->isVisible());
        if (index >= 0)
            QCOMPARE(box.currentText(), box.itemText(index));
    }

    void lookupKeysAndClearing()
    {
        LookupComboBox box;
        box.setList(&ReferenceLists::categories());
        QVERIFY(box.setKey("выс"));
        QCOMPARE(box.key(), QStringLiteral("ВЫС"));
        QVERIFY(!box.setKey("4"));
        QCOMPARE(box.currentIndex(), -1);
        box.setKey("1");
        QTest::keyClick(box.lineEdit(), Qt::Key_Delete);
        QCOMPARE(box.key(), QStringLiteral("1")); // a required field keeps its value
        box.setClearable(true);
        QSignalSpy chosen(&box, &LookupComboBox::keyChosen);
        QTest::keyClick(box.lineEdit(), Qt::Key_Delete);
        QCOMPARE(box.currentIndex(), -1);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), QString());
        QTest::keyClick(box.lineEdit(), Qt::Key_Down);
        QCOMPARE(box.key(), QStringLiteral("1"));
        QTest::keyClick(box.lineEdit(), Qt::Key_Down);
        QCOMPARE(box.key(), QStringLiteral("2"));
    }

    // The long-entry tooltip: only over a box without a hint of its own whose chosen entry does
    // not fit, laid over the box.
    void longEntryTooltip_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("ownTip");
        QTest::addColumn<bool>("shown");
        QTest::newRow("cut entry") << 120 << 1 << "" << true;
        QTest::newRow("blank hint counts as none") << 120 << 1 << "  " << true;
        QTest::newRow("entry fits") << 3000 << 1 << "" << false;
        QTest::newRow("no entry") << 120 << -1 << "" << false;
        QTest::newRow("own hint") << 120 << 1 << "Установка фильтра для выгрузки" << false;
    }

    void longEntryTooltip()
    {
        QFETCH(int, width);
        QFETCH(int, index);
        QFETCH(QString, ownTip);
        QFETCH(bool, shown);
        const ReferenceList list = ReferenceLists().subcommissionFilter();
        LookupComboBox box;
        box.setList(&list);
        box.setCurrentIndex(index);
        box.setToolTip(ownTip);
        box.resize(width, box.sizeHint().height());
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QString text;
        QPoint at;
        QCOMPARE(box.DoShowHint(&text, &at), shown);
        if (!shown)
            return;
        QCOMPARE(text, list.at(1).text);
        QCOMPARE(at, box.mapToGlobal(QPoint(0, 0)) - QPoint(1, 1));
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&box, &help);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), list.at(1).text);
        QToolTip::hideText();
    }
};

QTEST_MAIN(TstControls)
#include "tst_controls.moc"
