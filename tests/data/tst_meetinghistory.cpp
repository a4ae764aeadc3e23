#include "CardFileTestKit.h"
#include "data/MeetingFiles.h"
#include "data/MeetingHistory.h"
#include "data/ReferenceLists.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"
#include "support/Failures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace CardFileTestKit;

Q_DECLARE_METATYPE(FileSystem::Step)

namespace {

const QString kMeeting = QStringLiteral("Март");
const QDateTime kNow(QDate(2017, 3, 15), QTime(14, 30));

// Saves the meeting at a given time of the program's clock.
void saveAt(CardTable &t, const QString &folder, const QDateTime &when)
{
    TestEnvironment::FixedClock clock(when);
    SaveMeeting(t, ReferenceLists(), folder, kMeeting);
}

QList<QDateTime> hoursBack(int count, int step, const QDateTime &from)
{
    QList<QDateTime> times;
    for (int i = 0; i < count; ++i)
        times.append(from.addSecs(-3600LL * step * i));
    return times;
}

} // namespace

class TestMeetingHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }
    void init() { MeetingHistory::forgetNotice(); }

    // Every save but the first keeps the file it replaces, as a link: not a byte written there.
    void aVersionAtEverySave()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QString history = MeetingHistory::folderOf(folder, kMeeting);
        CardTable t;
        QList<QByteArray> saved;
        int historyWrites = 0;
        FileSystem::setFaultHook([&](FileSystem::Step step, const QString &path) {
            historyWrites += step == FileSystem::Step::Write && path.startsWith(history);
            return step == FileSystem::Step::Sync || step == FileSystem::Step::SyncFolder
                       ? FileSystem::kSkip
                       : 0;
        });
        for (int i = 0; i < 3; ++i) {
            addCard(t, validCard(QStringLiteral("КАРТОЧКА%1").arg(i)));
            saveAt(t, folder, kNow.addSecs(i));
            saved.append(TestFiles::readBack(meetingFilePath(folder, kMeeting)));
        }
        FileSystem::setFaultHook({});
        const QList<MeetingHistory::Version> versions = MeetingHistory::versions(history);
        QCOMPARE(versions.size(), 2);
        QCOMPARE(versions.at(0).time, kNow.addSecs(2)); // named when it was replaced
        QCOMPARE(TestFiles::readBack(versions.at(0).path), saved.at(1));
        QCOMPARE(TestFiles::readBack(versions.at(1).path), saved.at(0));
        QCOMPARE(historyWrites, 0);
        QCOMPARE(ListMeetings(folder), QStringList{kMeeting}); // the history is no meeting
    }

    // A history that cannot be kept never stops a save; the user hears of it once per run.
    void aHistoryThatCannotBeKept_data()
    {
        QTest::addColumn<FileSystem::Step>("step");
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("smallerSave"); // the new file is smaller than the old one
        QTest::addColumn<int>("versions");
        QTest::addColumn<int>("warnings");
        using S = FileSystem::Step;
        const int denied = Failures::nativeError(Failures::Fault::AccessDenied);
        const int full = Failures::nativeError(Failures::Fault::DiskFull);
        QTest::newRow("no links: a copy, no dearer than the save")
            << S::Link << denied << false << 2 << 0;
        QTest::newRow("no links, the copy dearer: no version")
            << S::Link << denied << true << 0 << 1;
        QTest::newRow("read-only history folder") << S::MakeFolder << denied << false << 0 << 1;
        QTest::newRow("disk full under the copy") << S::Write << full << false << 0 << 1;
    }

    void aHistoryThatCannotBeKept()
    {
        QFETCH(FileSystem::Step, step);
        QFETCH(int, fault);
        QFETCH(bool, smallerSave);
        QFETCH(int, versions);
        QFETCH(int, warnings);
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QString history = MeetingHistory::folderOf(folder, kMeeting);
        CardTable t;
        for (int i = 0; i < 3; ++i)
            addCard(t, validCard(QStringLiteral("КАРТОЧКА%1").arg(i)));
        saveAt(t, folder, kNow);
        ScriptedDialogs dialogs;
        for (int i = 0; i < warnings; ++i)
            dialogs.expectMessage();
        FileSystem::setFaultHook([&](FileSystem::Step s, const QString &path) {
            const bool inHistory =
                QDir::fromNativeSeparators(path).startsWith(QDir::cleanPath(history));
            // Links always fail where the copy is tried: no file system has one without the other.
            if (s == step && (inHistory || step == FileSystem::Step::Link))
                return fault;
            return s == FileSystem::Step::Link && step == FileSystem::Step::Write ? fault : 0;
        });
        for (int i = 0; i < 2; ++i) {
            if (smallerSave)
                t.deleteCurrent(); // saves nothing: the table has no handler
            else
                addCard(t, validCard(QStringLiteral("НОВАЯ%1").arg(i)));
            saveAt(t, folder, kNow.addSecs(i + 1));
        }
        FileSystem::setFaultHook({});
        QCOMPARE(MeetingHistory::versions(history).size(), versions);
        QCOMPARE(dialogs.log().size(), warnings);
        if (warnings)
            QVERIFY(dialogs.log().at(0).text.startsWith(
                QStringLiteral("Прежние версии заседаний не сохраняются: ")));
        dialogs.verifyDone();
        CardTable back;
        LoadMeeting(back, folder, kMeeting);
        QCOMPARE(back.totalCount(), smallerSave ? 1 : 5); // every save went through
    }

    // Every version of the last 24 hours, the newest of each day for 60 days, the newest 20.
    void thinning_data()
    {
        QTest::addColumn<QList<QDateTime>>("times");
        QTest::addColumn<int>("removed");
        QTest::newRow("a day of saves stays") << hoursBack(100, 0, kNow) << 0;
        QTest::newRow("hourly for 3 days: 24 + one a day") << hoursBack(72, 1, kNow) << 72 - 24 - 2;
        QTest::newRow("every 8 hours for 90 days: 20 newest, then a day each for 60")
            << hoursBack(270, 8, kNow) << 270 - 20 - 53; // the 20 span 7 of the 60 days
        QTest::newRow("a year old, 25 of them: the newest 20")
            << hoursBack(25, 1, kNow.addDays(-365)) << 5;
    }

    void thinning()
    {
        QFETCH(QList<QDateTime>, times);
        QFETCH(int, removed);
        const QList<int> out = MeetingHistory::thinnedOut(times, kNow);
        QCOMPARE(out.size(), removed);
        // Never the newest 20, never one of the last day.
        for (int i : out)
            QVERIFY(i >= 20 && times.at(i) <= kNow.addDays(-1));
    }

    // A restore makes the version the meeting; the file it replaced is a version, so the
    // restore can be undone. A damaged version is refused and changes nothing.
    void restoreAndItsUndo()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QString file = meetingFilePath(folder, kMeeting);
        const QString history = MeetingHistory::folderOf(folder, kMeeting);
        CardTable t;
        for (int i = 0; i < 3; ++i)
            addCard(t, validCard(QStringLiteral("КАРТОЧКА%1").arg(i)));
        saveAt(t, folder, kNow);
        const QByteArray three = TestFiles::readBack(file);
        t.deleteCurrent();
        saveAt(t, folder, kNow.addSecs(60)); // the card deleted by mistake
        const QByteArray two = TestFiles::readBack(file);

        const MeetingHistory::Version before = MeetingHistory::versions(history).first();
        const MeetingHistory::Comparison c =
            MeetingHistory::Comparer(two).compare(TestFiles::readBack(before.path));
        QCOMPARE(c.cards, 3);
        QCOMPARE(c.removed, 1);
        QCOMPARE(c.added + c.changed, 0);

        {
            TestEnvironment::FixedClock clock(kNow.addSecs(120));
            MeetingHistory::restore(file, history, before.path);
        }
        QCOMPARE(TestFiles::readBack(file), three);
        const MeetingHistory::Version undo = MeetingHistory::versions(history).first();
        QCOMPARE(TestFiles::readBack(undo.path), two);
        MeetingHistory::restore(file, history, undo.path);
        QCOMPARE(TestFiles::readBack(file), two);

        TestFiles::put(history + QStringLiteral("20170101-000000-000.dat"), "not a meeting");
        const auto damaged = MeetingHistory::versions(history).last();
        QVERIFY(MeetingHistory::Comparer(two).compare(TestFiles::readBack(damaged.path)).damaged);
        QVERIFY_THROWS_EXCEPTION(QorError, MeetingHistory::restore(file, history, damaged.path));
        QCOMPARE(TestFiles::readBack(file), two);
    }
};

QTEST_GUILESS_MAIN(TestMeetingHistory)
#include "tst_meetinghistory.moc"
