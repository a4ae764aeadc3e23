// The real boxes, as the clerk meets them: which answer Enter gives, where they lie, and that
// their captions are not cut.
#include "app/BoxPlacement.h"
#include "app/QtDialogs.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestQtDialogs : public QObject
{
    Q_OBJECT

    // Runs ask with a main window active, and looks at the box it opens before Enter closes it.
    template <typename Ask, typename Look> static void whileOpen(Ask ask, Look look)
    {
        QMainWindow window;
        window.setGeometry(100, 100, 600, 400);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        bool looked = false;
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            QVERIFY(QTest::qWaitForWindowExposed(box));
            look(box);
            looked = true;
            QTest::keyClick(box, Qt::Key_Return);
        });
        ask();
        QVERIFY(looked);
    }

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }

    void messageBoxes_data()
    {
        QTest::addColumn<bool>("cautious");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("enterAnswers");
        QTest::addColumn<QRect>("keepClear");
        using B = Dialogs::Buttons;
        using A = Dialogs::Answer;
        QTest::newRow("plain: OK") << false << int(B::OkCancel) << int(A::Ok) << QRect();
        QTest::newRow("cautious: Cancel") << true << int(B::OkCancel) << int(A::Cancel) << QRect();
        QTest::newRow("cautious: No") << true << int(B::YesNo) << int(A::No) << QRect();
        QTest::newRow("clear of the middle row")
            << true << int(B::OkCancel) << int(A::Cancel) << QRect(100, 280, 600, 20);
    }

    void messageBoxes()
    {
        QFETCH(bool, cautious);
        QFETCH(int, buttons);
        QFETCH(int, enterAnswers);
        QFETCH(QRect, keepClear);
        QtDialogs dialogs;
        const QString caption = QStringLiteral("Подтверждение удаления");
        Dialogs::Answer answer = Dialogs::Answer::Ok;
        whileOpen(
            [&] {
                answer = cautious
                             ? dialogs.cautiousQuestion(caption, QStringLiteral("Удалить?"),
                                                        Dialogs::Icon::Warning,
                                                        Dialogs::Buttons(buttons), keepClear)
                             : dialogs.message(caption, QStringLiteral("Удалить?"),
                                               Dialogs::Icon::Warning, Dialogs::Buttons(buttons));
            },
            [&](QWidget *box) {
                QVERIFY(box->width() >= BoxPlacement::captionWidth(box));
                QVERIFY(!box->frameGeometry().intersects(keepClear));
            });
        QCOMPARE(int(answer), enterAnswers);
    }

    // The new-meeting box shows its caption and a long name whole.
    void inputBoxIsWideEnough()
    {
        QtDialogs dialogs;
        QString value(60, u'Ж');
        whileOpen(
            [&] {
                dialogs.inputText(QStringLiteral("Добавить заседание комиссии"),
                                  QStringLiteral("Введите название заседания:"), value, 255);
            },
            [&](QWidget *box) {
                QVERIFY(box->width() >= BoxPlacement::captionWidth(box));
                QVERIFY(box->width() >= box->fontMetrics().averageCharWidth() * 56);
            });
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
