// Faults a clerk meets: a full disk, meeting files changed by someone else, a program folder
// that cannot be written. The real main window runs offscreen over a temporary program folder;
// each case checks the box the user sees, what is on disk afterwards, and that the next command
// works once the fault is gone. Cards are posted as the entry form posts them.
#include "MainWindowKit.h"
#include "app/CommandGuard.h"
#include "data/CardTestData.h"
#include "data/CardTextFormat.h"
#include "data/MeetingFiles.h"
#include "data/TDM1.h"
#include "platform/DocumentOpener.h"
#include "support/Failures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"
#include "ui/main/TfmMain.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

using Failures::Fault;
using Failures::InjectFault;
using Step = FileSystem::Step;
using TestFiles::readBack;

namespace {

const QString kDiskFull = QStringLiteral("Диск полон.");
const QString kDenied = QStringLiteral("В доступе к файлу отказано.");

void writeMeeting(const QString &folder, const QString &name, const QStringList &surnames)
{
    CardTable table;
    for (const QString &fam : surnames)
        addCard(table, 1, 404, fam);
    SaveMeeting(table, ReferenceLists(), folder, name);
}

QStringList cardsInFile(const QString &folder, const QString &name)
{
    CardTable table;
    LoadMeeting(table, folder, name);
    return surnames(table);
}

QStringList cardsInFile(const QString &path)
{
    CardTable table;
    ReadCards(table, path);
    return surnames(table);
}

// A file system mounted over a folder for the guard's lifetime: a tmpfs of a given size, or the
// folder itself bound read-only. refused() says why not, where mounting is not allowed.
class Mount
{
public:
    enum Kind { Tmpfs, ReadOnly };
    Mount(const QString &dir, Kind kind) : m_dir(QFile::encodeName(dir))
    {
#ifdef Q_OS_LINUX
        if (kind == Tmpfs)
            m_mounted = ::mount("tmpfs", m_dir, "tmpfs", 0, "size=256k") == 0;
        else if ((m_mounted = ::mount(m_dir, m_dir, nullptr, MS_BIND, nullptr) == 0))
            m_refused =
                ::mount(nullptr, m_dir, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0;
        if (!m_mounted || m_refused)
            m_reason = QStringLiteral("mount refused: ") + qt_error_string(errno);
#else
        Q_UNUSED(kind);
        m_reason = QStringLiteral("no mounting here");
#endif
    }
    ~Mount()
    {
#ifdef Q_OS_LINUX
        if (m_mounted)
            ::umount2(m_dir, MNT_DETACH);
#endif
    }
    QString refused() const
    {
        return m_reason;
    }

private:
    QByteArray m_dir;
    bool m_mounted = false;
    bool m_refused = false;
    QString m_reason;
};

QStringList texts(const ScriptedDialogs &dialogs)
{
    QStringList out;
    for (const auto &box : dialogs.log())
        out << box.text;
    return out;
}

} // namespace

class TstFaults : public QObject
{
    Q_OBJECT

    QString m_config;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString folder() const { return m_dir->path() + u'/'; }
    QString path(const QString &name) const { return folder() + name; }

    // No file a failure left behind passes for a meeting.
    void checkMeetingsListed(const QStringList &expected = {"A", "B"})
    {
        QCOMPARE(ListMeetings(folder()), expected);
    }

private slots:
    void initTestCase()
    {
        m_config = TestEnvironment::isolateHome();
        qputenv("XDG_DATA_HOME", QDir::cleanPath(m_config + "/../data").toLocal8Bit());
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QFile::remove(m_config + "/QorClient/HKEY_CURRENT_USER.ini");
        RefusedMeetings::instance().clear();
        writeMeeting(folder(), "A", {"А1", "А2"});
        writeMeeting(folder(), "B", {"Б1"});
    }

    void cleanup() { FileSystem::setFaultHook({}); }

    // A save after a post or a delete fails at any of its steps: the old file stays whole, the
    // change stays in the list, and the next save writes everything.
    void saveFails_data()
    {
        QTest::addColumn<bool>("post");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("message");
        const QList<std::pair<const char *, Step>> steps = {{"write", Step::Write},
                                                            {"flush", Step::Flush},
                                                            {"sync", Step::Sync},
                                                            {"close", Step::Close},
                                                            {"rename", Step::Rename}};
        for (bool post : {true, false}) {
            for (const auto &[name, step] : steps) {
                QTest::addRow("%s, %s", post ? "post" : "delete", name)
                    << post << int(step)
                    << (step == Step::Rename ? "Не удалось переписать файл \"%1\"!" : kDiskFull);
            }
        }
    }

    void saveFails()
    {
        QFETCH(bool, post);
        QFETCH(int, step);
        QFETCH(QString, message);
        const QByteArray before = readBack(path("A.dat"));
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        {
            InjectFault fault(Step(step), 1, Fault::DiskFull);
            if (post) {
                dialogs.expectMessage();
                QVERIFY(!c.post("А3"));
            } else {
                dialogs.expectMessage(Dialogs::Answer::Ok);
                dialogs.expectMessage();
                c.run("aDel");
            }
        }
        QCOMPARE(dialogs.log().last().text, message.replace("%1", path("A.dat")));
        QCOMPARE(dialogs.log().last().icon, Dialogs::Icon::Error);
        dialogs.verifyDone();
        QCOMPARE(readBack(path("A.dat")), before);
        checkMeetingsListed();
        const QStringList kept = post ? QStringList{"А1", "А2", "А3"} : QStringList{"А2"};
        QCOMPARE(surnames(c.table()), kept);

        QVERIFY(c.post("А4"));
        QCOMPARE(cardsInFile(folder(), "A"), kept + QStringList{"А4"});
        QVERIFY(!QFile::exists(path("A.tmp")));
    }

    // Another meeting, a new meeting or the end of the program would drop the changes of a
    // failed save: the save is tried again first, and while it fails the user decides.
    void leavingRetriesFailedSave_data()
    {
        QTest::addColumn<QString>("leave");
        QTest::addColumn<bool>("dropChanges");
        for (const char *leave : {"switch", "new", "close"})
            QTest::addRow("%s", leave) << leave << false;
        QTest::newRow("switch, dropping the changes") << "switch" << true;
    }

    void leavingRetriesFailedSave()
    {
        QFETCH(QString, leave);
        QFETCH(bool, dropChanges);
        const QByteArray before = readBack(path("A.dat"));
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        const auto tryLeave = [&] {
            if (leave == "switch")
                c.switchTo(1);
            else if (leave == "new")
                c.main->findChild<QPushButton *>("btnAdd")->click();
            else
                return c.main->close();
            return c.main->currentMeeting() != "A";
        };
        {
            InjectFault fault(Step::Write, InjectFault::kEveryTime, Fault::DiskFull);
            dialogs.expectMessage();
            dialogs.expectMessage();
            dialogs.expectMessage(dropChanges ? Dialogs::Answer::Ok : Dialogs::Answer::Cancel);
            QVERIFY(!c.post("А3"));
            QCOMPARE(tryLeave(), dropChanges);
        }
        QCOMPARE(texts(dialogs), (QStringList{kDiskFull, kDiskFull,
                                              "Изменения в заседании \"A\" не сохранены и будут "
                                              "потеряны. Продолжить?"}));
        QCOMPARE(dialogs.log().at(2).buttons, Dialogs::Buttons::OkCancel);
        dialogs.verifyDone();
        QCOMPARE(readBack(path("A.dat")), before);
        if (dropChanges) {
            QCOMPARE(surnames(c.table()), QStringList{"Б1"});
            return;
        }
        QCOMPARE(c.meetings()->currentText(), QStringLiteral("A"));
        QCOMPARE(surnames(c.table()), (QStringList{"А1", "А2", "А3"}));

        if (leave == "new")
            dialogs.expectInput(true, "C");
        QVERIFY(tryLeave());
        dialogs.verifyDone();
        QCOMPARE(cardsInFile(folder(), "A"), (QStringList{"А1", "А2", "А3"}));
    }

    void exportFails_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("nth");
        QTest::addColumn<bool>("exportKept");
        QTest::newRow("export file") << int(Step::Write) << 1 << false;
        QTest::newRow("export file sync") << int(Step::Sync) << 1 << false;
        QTest::newRow("log") << int(Step::Write) << 2 << true;
        QTest::newRow("log sync") << int(Step::Sync) << 2 << true;
    }

    // A half-written export never stays as if it were one; the log keeps whole entries only.
    void exportFails()
    {
        QFETCH(int, step);
        QFETCH(int, nth);
        QFETCH(bool, exportKept);
        const QByteArray log = "earlier entry\r\n";
        TestFiles::put(path("Export.log"), log);
        QTemporaryDir target;
        const QString exported = target.filePath("Qor21.exp");
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        {
            InjectFault fault(Step(step), nth, Fault::DiskFull);
            dialogs.expectFolder(true, target.path());
            dialogs.expectMessage();
            c.run("aExport");
        }
        QCOMPARE(texts(dialogs).last(), kDiskFull);
        dialogs.verifyDone();
        QCOMPARE(readBack(path("Export.log")), log);
        QCOMPARE(QFile::exists(exported), exportKept);
        if (exportKept)
            QCOMPARE(cardsInFile(exported), (QStringList{"А1", "А2"}));

        dialogs.expectFolder(true, target.path());
        dialogs.expectMessage();
        c.run("aExport");
        QVERIFY(texts(dialogs).last().endsWith(": 2"));
        dialogs.verifyDone();
        QVERIFY(readBack(path("Export.log")).startsWith(log + "*****"));
    }

    void printFails()
    {
        QStringList opened;
        DocumentOpener::install([&](const QString &report) {
            opened << report;
            return true;
        });
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        {
            InjectFault fault(Step::Write, 1, Fault::DiskFull);
            dialogs.expectMessage();
            c.run("aPrint");
        }
        QCOMPARE(texts(dialogs), QStringList{kDiskFull});
        dialogs.verifyDone();
        QVERIFY(opened.isEmpty());
        c.run("aPrint");
        QCOMPARE(opened.size(), 1);
        QVERIFY(readBack(opened.at(0)).startsWith("{\\rtf"));
        DocumentOpener::install({});
    }

    // The settings cannot be written at the end: reported, the window closes all the same and
    // the settings file stays as it was.
    void settingsFailAtClose()
    {
#ifdef Q_OS_WIN
        QSKIP("a settings file that cannot be written: Windows keeps the settings in the registry");
#endif
        const QString ini = m_config + "/QorClient/HKEY_CURRENT_USER.ini";
        {
            MainWindowClient c(folder());
            QVERIFY(c.show());
            QVERIFY(c.main->close());
        }
        const QByteArray before = readBack(ini);
        QVERIFY(before.contains("TfmMainDBGridEh1"));
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage();
            InjectFault fault(Step::Write, InjectFault::kEveryTime, Fault::DiskFull);
            {
                MainWindowClient c(folder());
                QVERIFY(c.show());
                c.run("aStatusBar");
                c.main->resize(c.main->size() + QSize(20, 20));
                QVERIFY(c.main->close());
            }
            QCOMPARE(texts(dialogs), QStringList{"Ошибка записи значения для 'FormVersion'"});
            dialogs.verifyDone();
        }
        QCOMPARE(readBack(ini), before);
        QCOMPARE(QDir(m_config + "/QorClient").entryList(QDir::Files),
                 QStringList{"HKEY_CURRENT_USER.ini"});
        MainWindowClient c(folder());
        QVERIFY(c.show());
        QVERIFY(c.main->action("aStatusBar")->isChecked());
    }

    // Someone else removes or replaces the current meeting's file, or puts something that is
    // no meeting file in another one's place: nothing they put there and no card is lost.
    void changedByOthers_data()
    {
        QTest::addColumn<QString>("meeting");
        QTest::addColumn<QByteArray>("theirs"); // null: removed
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("cards");
        CardTable other;
        addCard(other, 1, 404, "ЧУЖОЙ");
        QTemporaryDir dir;
        SaveMeeting(other, ReferenceLists(), dir.path(), "X");
        const QByteArray otherMeeting = readBack(dir.filePath("X.dat"));
        const QString invalid = QStringLiteral("Файл \"%1\" не является правильным файлом данных!");
        QTest::newRow("removed") << "A" << QByteArray() << QString()
                                 << QStringList{"А1", "А2", "Н"};
        QTest::newRow("replaced") << "A" << otherMeeting << QString()
                                  << QStringList{"А1", "А2", "Н"};
        QTest::newRow("garbage in place")
            << "A" << QByteArray("garbage") << QString() << QStringList{"А1", "А2", "Н"};
        QTest::newRow("garbage, then switched to")
            << "B" << QByteArray("garbage") << invalid << QStringList{"Н"};
    }

    void changedByOthers()
    {
        QFETCH(QString, meeting);
        QFETCH(QByteArray, theirs);
        QFETCH(QString, message);
        QFETCH(QStringList, cards);
        const QString file = path(meeting + ".dat");
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        if (theirs.isNull())
            QVERIFY(QFile::remove(file));
        else
            TestFiles::put(file, theirs);
        if (meeting == "B") {
            dialogs.expectMessage();
            c.switchTo(1);
        }
        QVERIFY(c.post("Н"));
        QCOMPARE(texts(dialogs),
                 message.isEmpty() ? QStringList() : QStringList{message.arg(file)});
        dialogs.verifyDone();
        QCOMPARE(cardsInFile(folder(), meeting), cards);
        QCOMPARE(readBack(file + ".bak"), theirs.isNull() ? QByteArray("<missing>") : theirs);
        checkMeetingsListed();
        c.switchTo(0);
        QCOMPARE(c.table().count(), meeting == "A" ? 3 : 2);
    }

    // A program folder that cannot be written: told why, the card stays in the list, the file
    // stays whole; writable again, the next save writes everything.
    void readOnlyFolder_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("refused by the system") << "seam";
        QTest::newRow("a folder where the temporary file goes") << "folder";
        QTest::newRow("read-only mount") << "mount";
    }

    void readOnlyFolder()
    {
        QFETCH(QString, how);
        const QByteArray before = readBack(path("A.dat"));
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        std::unique_ptr<InjectFault> fault;
        std::unique_ptr<Mount> mount;
        if (how == "seam")
            fault = std::make_unique<InjectFault>(Step::Open, 1, Fault::AccessDenied);
        else if (how == "folder")
            QVERIFY(QDir().mkdir(path("A.tmp")));
        else if (mount = std::make_unique<Mount>(m_dir->path(), Mount::ReadOnly);
                 !mount->refused().isEmpty())
            QSKIP(qPrintable(mount->refused()));
        dialogs.expectMessage();
        QVERIFY(!c.post("А3"));
        QCOMPARE(texts(dialogs), QStringList{kDenied});
        dialogs.verifyDone();
        QCOMPARE(readBack(path("A.dat")), before);
        QCOMPARE(surnames(c.table()), (QStringList{"А1", "А2", "А3"}));

        fault.reset();
        mount.reset();
        QDir().rmdir(path("A.tmp"));
        QVERIFY(c.post("А4"));
        QCOMPARE(cardsInFile(folder(), "A"), (QStringList{"А1", "А2", "А3", "А4"}));
        checkMeetingsListed();
    }

    // The same on a file system that is really full (a tiny tmpfs), where mounting is allowed.
    void realFullDisk()
    {
        Mount tmpfs(m_dir->path(), Mount::Tmpfs);
        if (!tmpfs.refused().isEmpty())
            QSKIP(qPrintable(tmpfs.refused()));
        writeMeeting(folder(), "A", {"А1", "А2"});
        const QByteArray before = readBack(path("A.dat"));
        QFile filler(path("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        ScriptedDialogs dialogs;
        MainWindowClient c(folder());
        QVERIFY(c.show());
        dialogs.expectMessage();
        QVERIFY(!c.post("А3"));
        QCOMPARE(texts(dialogs), QStringList{kDiskFull});
        dialogs.verifyDone();
        QCOMPARE(readBack(path("A.dat")), before);

        QVERIFY(filler.remove());
        QVERIFY(c.post("А4"));
        QCOMPARE(cardsInFile(folder(), "A"), (QStringList{"А1", "А2", "А3", "А4"}));
    }
};

QTEST_MAIN(TstFaults)
#include "tst_faults.moc"
