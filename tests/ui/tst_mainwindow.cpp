// The main window driven as a clerk drives it: by objectName, offscreen, with scripted boxes and
// a fixed clock, over meeting files in a temporary program folder.
#include "MainWindowKit.h"
#include "app/settings/SettingsStore.h"
#include "data/CardTestData.h"
#include "data/MeetingFiles.h"
#include "data/TDM1.h"
#include "output/RtfReport.h"
#include "platform/BusyCursor.h"
#include "platform/Cp1251.h"
#include "platform/DocumentOpener.h"
#include "platform/FileSystem.h"
#include "support/Failures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"
#include "ui/controls/CardGrid.h"
#include "ui/controls/FindDialog.h"
#include "ui/controls/LookupComboBox.h"
#include "ui/entry/TfmVvod.h"
#include "ui/main/CardListCommands.h"
#include "ui/main/MeetingList.h"
#include "ui/main/TfmMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

namespace {

struct Card
{
    int ftype;
    int podkom;
    QString fam;
};

void writeMeeting(const QString &folder, const QString &name, const QList<Card> &cards)
{
    CardTable table;
    for (const Card &c : cards)
        addCard(table, c.ftype, c.podkom, c.fam);
    SaveMeeting(table, ReferenceLists(), folder, name);
}

// The cards a meeting file holds, all of them.
int cardsInFile(const QString &folder, const QString &name)
{
    CardTable table;
    LoadMeeting(table, folder, name);
    return table.totalCount();
}

const QDateTime kNow(QDate(2017, 3, 15), QTime(10, 30));

// What the card table held, and what the status line said, when the window was first painted.
class FirstPaintSeen : public QObject
{
public:
    explicit FirstPaintSeen(const QLabel *status) : m_status(status) {}
    int cards = -1;
    QString status;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && cards < 0) {
            cards = DM1->cdsQor().count();
            status = m_status->text();
        }
        return false;
    }

private:
    const QLabel *m_status;
};

} // namespace

class TstMainWindow : public QObject
{
    Q_OBJECT

    QString m_config;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString folder() const { return m_folder->path() + u'/'; }

private slots:
    void initTestCase()
    {
        m_config = TestEnvironment::isolateHome();
        qputenv("XDG_DATA_HOME", QDir::cleanPath(m_config + "/../data").toLocal8Bit());
    }

    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QFile::remove(m_config + "/QorClient/HKEY_CURRENT_USER.ini");
        RefusedMeetings::instance().clear();
    }

    void firstStartInEmptyFolder()
    {
        TestEnvironment::FixedClock clock(kNow);
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        QCOMPARE(c.main->windowTitle(), QStringLiteral("Ордана"));
        QCOMPARE(c.meetings()->count(), 0);
        QCOMPARE(c.status(), QStringLiteral("Записей: 0"));
        QCOMPARE(c.grid()->model()->rowCount(), 0);

        // Nothing to open, delete or find; nothing may be created.
        QCOMPARE(c.entryFormOpenings([&] {
            c.run("aOpen");
            c.run("aDel");
            for (int key : {Qt::Key_Return, Qt::Key_Delete})
                QTest::keyClick(c.grid(), Qt::Key(key));
            QTest::mouseDClick(c.grid()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        }),
                 0);
        dialogs.expectMessage();
        dialogs.expectMessage();
        c.run("aNew");
        c.run("aFind");
        for (const auto &box : dialogs.log())
            QCOMPARE(box.text, QStringLiteral("Сначала добавьте заседание!"));
        dialogs.verifyDone();

        // The first meeting: the input box, the cleaned name, its file.
        dialogs.expectInput(true, " 2017: заседание / 1 ");
        c.child<QPushButton>("btnAdd")->click();
        const auto box = dialogs.log().at(0);
        QCOMPARE(box.caption, QStringLiteral("Добавить заседание комиссии"));
        QCOMPARE(box.text, QStringLiteral("Введите название заседания:"));
        QCOMPARE(box.value, QStringLiteral("2017-Новое заседание"));
        QCOMPARE(box.maxLength, 255);
        dialogs.verifyDone();
        QCOMPARE(c.meetings()->currentText(), QStringLiteral("2017 заседание  1"));
        QCOMPARE(c.main->currentMeeting(), QStringLiteral("2017 заседание  1"));
        QCOMPARE(QFile(folder() + "2017 заседание  1.dat").size(), qint64(7)); // "<QOR>\r\n"
        QCOMPARE(c.entryFormOpenings([&] { c.run("aNew"); }), 1);
    }

    // The window is on the screen before the meeting's cards are loaded, under the busy cursor;
    // the status line counts them once they are there.
    void theWindowComesBeforeItsCards()
    {
        writeMeeting(folder(), "Заседание", {{1, 404, "А"}, {1, 404, "Б"}});
        MainWindowClient c(folder());
        FirstPaintSeen seen(c.child<QLabel>("StatusBarPanel"));
        c.main->installEventFilter(&seen);
        bool busy = false;
        connect(c.main->meetings(), &MeetingList::switched, this,
                [&] { busy = BusyCursor::depth() > 0; });
        QVERIFY(c.show());
        QCOMPARE(seen.cards, 0);
        QCOMPARE(seen.status, QString()); // not "Записей: 0" before the cards are counted
        QVERIFY(busy);
        QCOMPARE(c.table().count(), 2);
        QCOMPARE(BusyCursor::depth(), 0);
        QCOMPARE(QApplication::focusWidget(), c.grid());
    }

    void newMeetingRefused_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("error");
        QTest::newRow("other letter case") << "A МЕЕТИНГ"
                                           << "Такое название заседания уже существует!";
        QTest::newRow("dots only") << " ... "
                                   << "Вы не ввели никакого имени для отчета!";
    }

    void newMeetingRefused()
    {
        QFETCH(QString, entered);
        QFETCH(QString, error);
        writeMeeting(folder(), "b", {{1, 404, "Б"}});
        writeMeeting(folder(), "a меетинг", {});
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        dialogs.expectInput(true, entered);
        dialogs.expectMessage();
        c.child<QPushButton>("btnAdd")->click();
        QCOMPARE(dialogs.log().at(1).text, error);
        dialogs.expectInput(false); // cancelled: nothing changes
        c.child<QPushButton>("btnAdd")->click();
        dialogs.verifyDone();
        QCOMPARE(c.meetings()->count(), 2);
        QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), 2);
        QCOMPARE(c.main->currentMeeting(), QStringLiteral("a меетинг"));
    }

    // Deleting the only meeting leaves none; a second delete asks about "" and fails.
    void deleteOnlyMeeting()
    {
        writeMeeting(folder(), "Единственное", {{1, 404, "Б"}});
        writeMeeting(folder(), "Единственное", {{1, 404, "А"}}); // and one version
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        dialogs.expectMessage(Dialogs::Answer::Cancel);
        c.child<QPushButton>("tblDel")->click();
        QVERIFY(QFile::exists(folder() + "Единственное.dat"));
        // A file that cannot be deleted stays, and so does its meeting.
        FileSystem::setFaultHook([](FileSystem::Step step, const QString &) {
            return step == FileSystem::Step::Remove
                       ? Failures::nativeError(Failures::Fault::AccessDenied)
                       : 0;
        });
        dialogs.expectMessage(Dialogs::Answer::Ok);
        dialogs.expectMessage();
        c.child<QPushButton>("tblDel")->click();
        FileSystem::setFaultHook({});
        QCOMPARE(dialogs.log().at(2).text,
                 QStringLiteral("Не удалось удалить файл \"Единственное.dat\"!"));
        QCOMPARE(c.main->currentMeeting(), QStringLiteral("Единственное"));
        QVERIFY(QFile::exists(folder() + "Единственное.dat"));
        dialogs.verifyDone();
        dialogs.expectMessage(Dialogs::Answer::Ok);
        c.child<QPushButton>("tblDel")->click();
        const auto asked = dialogs.log().at(0);
        QCOMPARE(asked.caption, QStringLiteral("Запрос"));
        QCOMPARE(asked.icon, Dialogs::Icon::Question);
        QCOMPARE(asked.buttons, Dialogs::Buttons::OkCancel);
        QCOMPARE(asked.text, QStringLiteral("Вы уверены, что хотите удалить засединие комиссии "
                                            "\"Единственное\" вместе со всеми его данными?"));
        dialogs.verifyDone();
        QVERIFY(!QFile::exists(folder() + "Единственное.dat"));
        // Put where it can be restored from (on Windows the recycle bin, which has no path).
#ifndef Q_OS_WIN
        const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files/";
        QVERIFY(QFile::exists(trash + "Единственное.dat"));
        QCOMPARE(QDir(trash + "Единственное").entryList(QDir::Files).size(), 1); // its versions
#endif
        QCOMPARE(c.meetings()->count(), 0);
        QCOMPARE(c.main->currentMeeting(), QString());
        QCOMPARE(c.status(), QStringLiteral("Записей: 0"));

        dialogs.expectMessage(Dialogs::Answer::Ok);
        dialogs.expectMessage();
        c.child<QPushButton>("tblDel")->click();
        QVERIFY(dialogs.log().at(0).text.contains(QStringLiteral("\"\" вместе")));
        QCOMPARE(dialogs.log().at(1).text, QStringLiteral("Не удалось удалить файл \".dat\"!"));
        dialogs.verifyDone();
    }

    // The filter stays across meeting switches, applies to them, and a delete under it keeps
    // the hidden cards in the file.
    void filterAcrossSwitchesAndSaves()
    {
        writeMeeting(folder(), "A", {{1, 404, "А1"}, {2, 410, "А2"}, {1, 403, "А3"}});
        writeMeeting(folder(), "B", {{2, 410, "Б1"}, {1, 404, "Б2"}, {2, 411, "Б3"}});
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        QCOMPARE(c.status(), QStringLiteral("Записей: 3"));
        c.child<LookupComboBox>("lcbFTYPE")->setCurrentIndex(1); // "Врачи"
        QCOMPARE(c.status(), QStringLiteral("Записей: 2 <<Установлен фильтр>>"));

        c.meetings()->setCurrentIndex(1);
        emit c.meetings()->activated(1);
        QCOMPARE(c.main->currentMeeting(), QStringLiteral("B"));
        QCOMPARE(c.status(), QStringLiteral("Записей: 1 <<Установлен фильтр>>"));
        QCOMPARE(c.currentSurname(), QStringLiteral("Б2"));

        dialogs.expectMessage(Dialogs::Answer::Ok);
        QTest::keyClick(c.grid(), Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(dialogs.log().at(0).caption, QStringLiteral("Подтверждение удаления"));
        QCOMPARE(dialogs.log().at(0).text, QStringLiteral("Удалить карточку ?"));
        QCOMPARE(dialogs.log().at(0).icon, Dialogs::Icon::Warning);
        dialogs.verifyDone();
        QCOMPARE(c.status(), QStringLiteral("Записей: 0 <<Установлен фильтр>>"));
        QCOMPARE(cardsInFile(folder(), "B"), 2);

        // With every card hidden: no open, no delete, no double click; new still works.
        QCOMPARE(c.entryFormOpenings([&] {
            QTest::keyClick(c.grid(), Qt::Key_Return);
            QTest::keyClick(c.grid(), Qt::Key_Delete);
            QTest::mouseDClick(c.grid()->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
            c.run("aOpen");
        }),
                 0);
        QCOMPARE(c.entryFormOpenings(
                     [&] { QTest::keyClick(c.grid(), Qt::Key_Insert, Qt::ControlModifier); }),
                 1);

        c.child<LookupComboBox>("lcbFTYPE")->setCurrentIndex(0);
        QCOMPARE(c.status(), QStringLiteral("Записей: 2"));
    }

    void sortByTitles()
    {
        writeMeeting(folder(), "A", {{2, 410, "Б"}, {1, 404, "А"}, {1, 403, "В"}, {2, 413, "Г"}});
        MainWindowClient c(folder());
        QVERIFY(c.show());
        QHeaderView *header = c.grid()->horizontalHeader();
        const auto clickTitle = [&](int field) {
            const QPoint at(header->sectionViewportPosition(field) + header->sectionSize(field) / 2,
                            header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        };
        const auto markers = [&] {
            QList<int> marked;
            for (int field = 0; field < CardFields::Count; ++field) {
                if (c.grid()->titleHasSortMarker(field))
                    marked << field;
            }
            return marked;
        };
        QCOMPARE(markers(), QList<int>());
        QCOMPARE(c.currentSurname(), QStringLiteral("Б"));
        const QList<QPair<int, QStringList>> steps = {
            {CardFields::C_PODKOM, {"В", "А", "Б", "Г"}},
            {CardFields::FAM, {"А", "Б", "В", "Г"}},
            {CardFields::C_FTYPE, {"А", "В", "Б", "Г"}},
            {CardFields::C_FTYPE, {"А", "В", "Б", "Г"}}, // no descending order
        };
        for (const auto &step : steps) {
            clickTitle(step.first);
            QCOMPARE(surnames(c.table()), step.second);
            QCOMPARE(markers(), QList<int>{step.first});
            QCOMPARE(c.currentSurname(), QStringLiteral("Б"));
            QCOMPARE(c.grid()->currentIndex().row(), c.table().currentRow());
        }
    }

    // Where the keys go and what stays in place: the list has the focus after every command;
    // the wheel changes no box it merely passes; a sort or a filter keeps the card, the column
    // and the scroll.
    static CardListCommands *m_cardListOf(const MainWindowClient &c)
    {
        return c.main->findChild<CardListCommands *>();
    }

    void theClerksPlace()
    {
        writeMeeting(folder(), "A", {{1, 404, "А"}, {2, 410, "Б"}, {1, 403, "В"}});
        writeMeeting(folder(), "B", {{2, 410, "Г"}});
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        c.main->resize(400, 300);
        QVERIFY(c.show());
        CardGrid *grid = c.grid();
        QCOMPARE(QApplication::focusWidget(), grid);
        // At the smallest size the selector gives way and the buttons stay whole.
        c.main->resize(c.main->minimumSize());
        QTRY_COMPARE(c.main->size(), c.main->minimumSize());
        for (const char *button : {"btnAdd", "tblDel"}) {
            auto *b = c.child<QPushButton>(button);
            QVERIFY(b->width() >= b->sizeHint().width());
        }
        c.main->resize(400, 300);

        QWheelEvent wheel(QPointF(5, 5), c.meetings()->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(c.meetings(), &wheel);
        QCOMPARE(c.main->currentMeeting(), QStringLiteral("A"));

        c.child<LookupComboBox>("lcbFTYPE")->setFocus();
        c.entryFormOpenings([&] { c.run("aOpen"); });
        QCOMPARE(c.main->focusWidget(), grid);

        // On the card "В", in the column of the positions, scrolled to it.
        c.table().last();
        grid->setCurrentIndex(grid->model()->index(2, CardFields::DOL));
        grid->scrollTo(grid->currentIndex());
        const int scroll = grid->horizontalScrollBar()->value();
        QVERIFY(scroll > 0);
        m_cardListOf(c)->DBGridEh1TitleBtnClick(CardFields::FAM);
        c.child<LookupComboBox>("lcbFTYPE")->setCurrentIndex(1); // "Врачи": "В" still shown
        QCOMPARE(c.currentSurname(), QStringLiteral("В"));
        QCOMPARE(grid->currentIndex().column(), int(CardFields::DOL));
        QCOMPARE(grid->horizontalScrollBar()->value(), scroll);
        c.child<LookupComboBox>("lcbFTYPE")->setCurrentIndex(0);

        c.meetings()->setFocus();
        c.switchTo(1);
        QCOMPARE(c.main->focusWidget(), grid);
        QApplication::setActiveWindow(c.main); // offscreen, the hidden form stays "active"
        QTest::keyClick(c.main, Qt::Key_F10);
        QVERIFY(c.main->menuBar()->activeAction());
    }

    // Questions that destroy: the safe answer is the default, they leave the row in sight, and
    // several rows selected are deleted together, in one save.
    void deletingAsks_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("left");
        QTest::newRow("the current card") << false << "Удалить карточку ?" << 2;
        QTest::newRow("every card, Ctrl+A") << true << "Удалить выделенные карточки (3)?" << 0;
    }

    void deletingAsks()
    {
        QFETCH(bool, all);
        QFETCH(QString, question);
        QFETCH(int, left);
        writeMeeting(folder(), "A", {{1, 404, "А"}, {2, 410, "Б"}, {1, 403, "В"}});
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        int saves = 0;
        DM1->setSaveAction([&] {
            ++saves;
            c.main->findChild<MeetingList *>()->saveCurrent();
        });
        if (all)
            QTest::keyClick(c.grid(), Qt::Key_A, Qt::ControlModifier);
        dialogs.expectMessage(Dialogs::Answer::Ok);
        QTest::keyClick(c.grid(), Qt::Key_Delete);
        const auto asked = dialogs.log().at(0);
        QCOMPARE(asked.text, question);
        QVERIFY(asked.cautious);
        QVERIFY(!asked.keepClear.isEmpty());
        dialogs.verifyDone();
        QCOMPARE(cardsInFile(folder(), "A"), left);
        QCOMPARE(saves, 1);

        dialogs.expectMessage(Dialogs::Answer::Ok);
        c.child<QPushButton>("tblDel")->click();
        QVERIFY(dialogs.log().at(0).cautious);
        QCOMPARE(QApplication::focusWidget(), c.grid());
    }

    // A card deleted by mistake comes back with the version from before the delete; the
    // restore is a version itself, so it can be undone.
    void historyRestoresAVersion()
    {
        writeMeeting(folder(), "A", {{1, 404, "А"}, {2, 410, "Б"}, {1, 403, "В"}});
        const QByteArray before = TestFiles::readBack(folder() + "A.dat");
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        dialogs.expectMessage(Dialogs::Answer::Ok);
        QTest::keyClick(c.grid(), Qt::Key_Delete);
        QCOMPARE(cardsInFile(folder(), "A"), 2);
        QList<int> listed;
        const auto restoreNewest = [&] {
            auto *dialog = c.main->findChild<QDialog *>("fmHistory");
            QVERIFY(dialog && dialog->isVisible());
            auto *list = dialog->findChild<QTableWidget *>("lvVersions");
            listed << list->rowCount();
            QCOMPARE(list->item(0, 3)->text(), QStringLiteral("1")); // removed since
            dialog->findChild<QPushButton *>("btnRestore")->click();
        };
        QTimer::singleShot(0, c.main, restoreNewest);
        c.run("aHistory");
        QCOMPARE(TestFiles::readBack(folder() + "A.dat"), before);
        QCOMPARE(c.table().count(), 3);
        QCOMPARE(c.status(), QStringLiteral("Записей: 3"));
        QTimer::singleShot(0, c.main, [&] {
            auto *dialog = c.main->findChild<QDialog *>("fmHistory");
            listed << dialog->findChild<QTableWidget *>("lvVersions")->rowCount();
            dialog->reject();
        });
        c.run("aHistory");
        QCOMPARE(listed, (QList<int>{1, 2}));
        dialogs.verifyDone();
    }

    void statusLineAndHints()
    {
        writeMeeting(folder(), "A", {{1, 404, "А"}, {2, 410, "Б"}});
        MainWindowClient c(folder());
        QVERIFY(c.show());
        QStatusBar *bar = c.child<QStatusBar>("StatusBar");
        QToolBar *tools = c.child<QToolBar>("ToolBar1");
        QWidget *newButton = tools->widgetForAction(c.main->action("aNew"));
        QCOMPARE(newButton->toolTip(), QStringLiteral("Создать"));
        QTest::mouseMove(newButton);
        QTRY_COMPARE(bar->currentMessage(), QStringLiteral("Создание новой карточки"));
        QTest::mouseMove(c.grid()->viewport());
        QTRY_COMPARE(bar->currentMessage(), QString());
        QVERIFY(c.child<QLabel>("StatusBarPanel")->isVisible());

        QMenuBar *menus = c.child<QMenuBar>("MainMenu");
        QAction *file = menus->actions().at(0);
        QCOMPARE(file->text(), QStringLiteral("&Файл"));
        // The offscreen cursor sends no mouse moves of its own.
        const QPoint onFile = menus->actionGeometry(file).center();
        QMouseEvent move(QEvent::MouseMove, onFile, menus->mapToGlobal(onFile), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(menus, &move);
        QTRY_COMPARE(bar->currentMessage(),
                     QStringLiteral("Команды управления карточками и папками"));
        QTest::mouseMove(c.grid()->viewport());

        // Hidden, the status line is still written; shown again, it is up to date.
        c.run("aStatusBar");
        QVERIFY(bar->isHidden());
        c.child<LookupComboBox>("lcbFTYPE")->setCurrentIndex(2);
        c.run("aStatusBar");
        QVERIFY(!bar->isHidden());
        QCOMPARE(c.status(), QStringLiteral("Записей: 1 <<Установлен фильтр>>"));
    }

    // The main window's shortcuts act only when the key is pressed in the main window.
    void shortcutsOnlyInMainWindow()
    {
        writeMeeting(folder(), "A", {{1, 404, "А"}});
        MainWindowClient c(folder());
        QVERIFY(c.show());
        int fired = 0;
        for (const char *name : {"aNew", "aOpen", "aFind", "aExit"})
            QObject::connect(c.main->action(name), &QAction::triggered, [&] { ++fired; });
        const auto pressAll = [](QWidget *target) {
            QTest::keyClick(target, Qt::Key_Insert);
            QTest::keyClick(target, Qt::Key_O, Qt::ControlModifier);
            QTest::keyClick(target, Qt::Key_F3);
            QTest::keyClick(target, Qt::Key_X, Qt::AltModifier);
        };

        QDialog box(c.main);
        box.setModal(true);
        QTimer::singleShot(0, &box, [&] {
            if (QTest::qWaitForWindowActive(&box))
                pressAll(&box);
            box.accept();
        });
        QCOMPARE(c.entryFormOpenings([&] { box.exec(); }), 0);

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        pressAll(&other);
        other.close();
        QCOMPARE(fired, 0);
        QVERIFY(c.main->isVisible());

        c.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(c.main));
        c.grid()->setFocus();
        QCOMPARE(c.entryFormOpenings([&] { QTest::keyClick(c.grid(), Qt::Key_Insert); }), 1);
        QCOMPARE(fired, 1);
    }

    void findDialog()
    {
        writeMeeting(folder(), "A",
                     {{1, 404, "ОБРАЗЦОВА"}, {2, 410, "ПЕТРОВ"}, {1, 403, "ИВАНОВ"}});
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        c.grid()->setCurrentIndex(c.grid()->model()->index(0, CardFields::NAME));
        QStringList history;
        QString column;
        QTimer::singleShot(0, c.main, [&] {
            auto *dialog = c.main->findChild<FindDialog *>();
            QVERIFY(dialog && dialog->isVisible());
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Поиск"));
            auto *pattern = dialog->findChild<QComboBox *>("cbPattern");
            column = dialog->findChild<QComboBox *>("cbColumn")->currentText();
            dialog->findChild<QComboBox *>("cbColumn")
                ->setCurrentIndex(dialog->findChild<QComboBox *>("cbColumn")->count() -
                                  1); // "<All>"
            QVERIFY(pattern->currentText().isEmpty());
            pattern->setEditText("петр");
            QTest::keyClick(pattern->lineEdit(), Qt::Key_Return); // Enter finds
            QCOMPARE(c.currentSurname(), QStringLiteral("ПЕТРОВ"));
            // The card found shows beside the dialog, never under it.
            QVERIFY(!dialog->frameGeometry().intersects(c.grid()->currentRowOnScreen()));
            pattern->setEditText("нет такого");
            dialogs.expectMessage();
            dialog->findChild<QPushButton *>("btnFindNext")->click();
            QCOMPARE(c.currentSurname(), QStringLiteral("ПЕТРОВ"));
            history = dialog->history();
            dialog->findChild<QPushButton *>("btnClose")->click();
        });
        QTest::keyClick(c.grid(), Qt::Key_F3);
        QCOMPARE(column, QStringLiteral("Имя"));
        QCOMPARE(history, (QStringList{"нет такого", "петр"}));
        QCOMPARE(dialogs.log().at(0).caption, QStringLiteral("Сообщение"));
        QCOMPARE(dialogs.log().at(0).text, FindDialog::notFoundText("нет такого"));
        dialogs.verifyDone();

        // Kept for the run: the history stays, the text is empty again.
        QTimer::singleShot(0, c.main, [&] {
            auto *dialog = c.main->findChild<FindDialog *>();
            QVERIFY(dialog->findChild<QComboBox *>("cbPattern")->currentText().isEmpty());
            history = dialog->history();
            dialog->reject();
        });
        c.run("aFind");
        QCOMPARE(history.size(), 2);
        QCOMPARE(c.main->findChildren<FindDialog *>().size(), 1);
    }

    void outputsFollowTheList()
    {
        // Print, export, About and the manual, from the menu: the printed list and the export
        // take the cards in view in the list's order, the printed list its columns as moved.
        writeMeeting(folder(), "M", {{1, 404, "ВРАЧЕВ"}, {2, 410, "СРЕДНЕВ"}, {1, 403, "АБАЕВ"}});
        ScriptedDialogs dialogs;
        QString opened;
        DocumentOpener::install([&](const QString &path) {
            opened = path;
            return true;
        });
        MainWindowClient c(folder());
        QVERIFY(c.show());
        c.child<LookupComboBox>("lcbFTYPE")->setCurrentIndex(1); // "Врачи"
        c.grid()->horizontalHeader()->moveSection(2, 1);         // "Имя" before "Фамилия"
        c.run("aPrint");
        const QString rtf = Cp1251::decode(FileSystem::readWhole(opened));
        QVERIFY(rtf.indexOf(RtfEscape("Имя")) < rtf.indexOf(RtfEscape("Фамилия")));
        QVERIFY(rtf.contains(RtfEscape("ВРАЧЕВ")) && !rtf.contains(RtfEscape("СРЕДНЕВ")));
        DocumentOpener::install({});

        QTemporaryDir exported;
        dialogs.expectFolder(true, exported.path());
        dialogs.expectMessage();
        c.run("aExport");
        QCOMPARE(dialogs.log().at(1).text,
                 QStringLiteral("Выгружено записей в файл \"%1\": 2")
                     .arg(QDir::toNativeSeparators(exported.filePath("Qor21.exp"))));
        QVERIFY(QFile::exists(folder() + "Export.log"));

        dialogs.expectMessage();
        c.run("aAbout");
        QCOMPARE(dialogs.log().at(2).caption, QStringLiteral("О программе"));
        dialogs.expectMessage();
        c.run("aManual"); // no manual in this folder
        QVERIFY(dialogs.log().at(3).text.endsWith(QStringLiteral("Руководство.doc\" не найден !")));
        dialogs.verifyDone();
    }

    void educationVariant()
    {
        SettingsStore().WriteSetting(SettingsStore::installationKeyPath(), QString(), "ObrSoc",
                                     "+");
        // A card of the normal variant and one of this one.
        writeMeeting(folder(), "A", {{2, 404, "Б"}, {2, 403, "В"}});
        QByteArray bytes = readFile(folder() + "A.dat");
        bytes.replace("@PODKOM=404", "@PODKOM=410").replace("@PODKOM=403", "@PODKOM=601");
        QVERIFY(putFileBytes(folder() + "A.dat", bytes));
        MainWindowClient c(folder());
        QVERIFY(c.show());
        QCOMPARE(c.child<LookupComboBox>("lcbPODKOM")->count(), 14);
        QCOMPARE(DM1->lists().variant(), Variant::EducationSocial);
        QCOMPARE(c.table().text(0, CardFields::C_PODKOM), QString());
        QVERIFY(c.table().text(1, CardFields::C_PODKOM).startsWith("(средние) Экспертная"));
    }

    void failuresLeaveTheWindowUsable()
    {
        writeMeeting(folder(), "B", {{1, 404, "Б1"}, {1, 403, "Б2"}});
        QVERIFY(putFileBytes(folder() + "A.dat", "not a card file\r\n"));
        ScriptedDialogs dialogs;
        dialogs.expectMessage();
        MainWindowClient c(folder());
        QVERIFY(c.show());
        QCOMPARE(dialogs.log().at(0).text,
                 QStringLiteral("Файл \"%1\" не является правильным файлом данных!")
                     .arg(folder() + "A.dat"));
        dialogs.verifyDone();
        QCOMPARE(c.meetings()->currentText(), QStringLiteral("A"));
        QCOMPARE(c.status(), QStringLiteral("Записей: 0"));

        // The meeting folder cannot be written: the new meeting is reported and nothing is lost.
        {
            Failures::InjectFault fault(FileSystem::Step::Open, 1, Failures::Fault::AccessDenied);
            dialogs.expectInput(true, "C");
            dialogs.expectMessage();
            c.child<QPushButton>("btnAdd")->click();
        }
        QCOMPARE(dialogs.log().at(1).text, QStringLiteral("В доступе к файлу отказано."));
        dialogs.verifyDone();
        QCOMPARE(c.main->currentMeeting(), QStringLiteral("C"));

        // A save that fails after a delete: the file keeps both cards.
        c.meetings()->setCurrentIndex(1);
        emit c.meetings()->activated(1);
        QCOMPARE(c.status(), QStringLiteral("Записей: 2"));
        {
            Failures::InjectFault fault(FileSystem::Step::Rename, 1, Failures::Fault::AccessDenied);
            dialogs.expectMessage(Dialogs::Answer::Ok);
            dialogs.expectMessage();
            c.run("aDel");
        }
        QCOMPARE(dialogs.log().at(1).text,
                 QStringLiteral("Не удалось переписать файл \"%1\"!").arg(folder() + "B.dat"));
        dialogs.verifyDone();
        QCOMPARE(cardsInFile(folder(), "B"), 2);
        QCOMPARE(c.status(), QStringLiteral("Записей: 1"));
        QCOMPARE(readFile(folder() + "A.dat"), QByteArray("not a card file\r\n"));
    }

    // Closing writes the state and the layout; the next start has them back.
    void restartRestoresLayoutAndState()
    {
        writeMeeting(folder(), "A", {{1, 404, "А"}});
        const QRect placed(40, 50, 600, 420);
        {
            MainWindowClient c(folder());
            QVERIFY(c.show());
            QHeaderView *header = c.grid()->horizontalHeader();
            header->moveSection(header->visualIndex(CardFields::FAM), 0);
            header->resizeSection(CardFields::NAME, 150);
            c.run("aStatusBar");
            c.main->setGeometry(placed);
            QVERIFY(c.main->close());
        }
        SettingsStore store;
        QCOMPARE(store.ReadSetting(SettingsStore::settingsKeyPath(), "TfmMain", "Visible", ""),
                 QStringLiteral("0"));
        {
            MainWindowClient c(folder());
            QVERIFY(c.show());
            QHeaderView *header = c.grid()->horizontalHeader();
            QCOMPARE(header->logicalIndex(0), int(CardFields::FAM));
            QCOMPARE(header->logicalIndex(1), int(CardFields::C_FTYPE));
            QCOMPARE(header->sectionSize(CardFields::NAME), 150);
            QVERIFY(c.child<QStatusBar>("StatusBar")->isHidden());
            QVERIFY(!c.main->action("aStatusBar")->isChecked());
            QCOMPARE(c.main->geometry(), placed);
            QVERIFY(c.main->close());
        }

        // A placement on no screen comes back onto one.
        store.WriteSetting(SettingsStore::settingsKeyPath(), "TfmMain", "NormPos",
                           "9000,9000,9600,9420");
        store.WriteSetting(SettingsStore::settingsKeyPath(), "TfmMain",
                           QStringLiteral("NormPos(%1x%2)")
                               .arg(QGuiApplication::primaryScreen()->geometry().width())
                               .arg(QGuiApplication::primaryScreen()->geometry().height()),
                           "");
        MainWindowClient c(folder());
        QVERIFY(c.show());
        QVERIFY(
            QGuiApplication::primaryScreen()->availableGeometry().intersects(c.main->geometry()));
    }

private:
    static bool putFileBytes(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    static QByteArray readFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
