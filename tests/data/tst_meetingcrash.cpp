// Kills a process at random moments while it saves a meeting again and again. After every kill
// the meeting file must load completely as one whole version: the last one the saver reported
// saved, or the one it was saving when it died. Every version the history kept reads back whole,
// and no save kept more than one.
#include "CardFileTestKit.h"
#include "data/CardTextFormat.h"
#include "data/MeetingFiles.h"
#include "data/MeetingHistory.h"
#include "data/ReferenceLists.h"
#include "platform/QorError.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#ifdef QOR_CRASH_CHILD
#include <csignal>
#endif

using namespace CardFileTestKit;

namespace {

// Reads the child's output up to and including a line beginning with prefix; returns the lines.
[[maybe_unused]] QList<QByteArray> readUntil(QProcess &child, const QByteArray &prefix)
{
    QList<QByteArray> lines;
    for (;;) {
        while (child.canReadLine()) {
            lines << child.readLine().trimmed();
            if (lines.last().startsWith(prefix))
                return lines;
        }
        if (!child.waitForReadyRead(10000))
            return lines;
    }
}

} // namespace

class TestMeetingCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileSaving();
};

void TestMeetingCrash::killedWhileSaving()
{
#ifndef QOR_CRASH_CHILD
    QSKIP("the crash test needs fork() and kill()");
#else
    constexpr int kKills = 300;
    const QString name = QStringLiteral("Заседание 2017");
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    RefusedMeetings refused;
    QRandomGenerator rng(4242);

    CardTable table;
    fillVersion(table, 0);
    SaveMeeting(table, ReferenceLists(), folder, name, refused);

    QProcess child;
    child.start(QStringLiteral(QOR_CRASH_CHILD), {folder, name});
    QVERIFY2(child.waitForStarted(10000), qPrintable(child.errorString()));

    int known = 0; // the newest version known to be on disk
    QSet<int> seen;
    int inFlight = 0; // kills after which the version being saved was already in place
    int saves = 0;    // saves begun: each may keep one version
    QSet<QString> versionsChecked;
    const QString history = MeetingHistory::folderOf(folder, name);
    QElapsedTimer clock;
    clock.start();
    for (int kill = 0; kill < kKills; ++kill) {
        child.write(QByteArray("save ") + QByteArray::number(known + 1) + "\n");
        const QList<QByteArray> started = readUntil(child, "pid ");
        QVERIFY2(!started.isEmpty() && started.last().startsWith("pid "), "no saver started");
        const qint64 saver = started.last().mid(4).toLongLong();
        QVERIFY(saver > 0);
        // Once the saver has saved its first version it is in its loop of saves: the kill then
        // falls somewhere in one of them, however loaded the machine is.
        const QList<QByteArray> firstSaved = readUntil(child, QByteArray::number(known + 1));
        QThread::usleep(rng.bounded(12000));
        QCOMPARE(::kill(pid_t(saver), SIGKILL), 0);
        child.write("reap\n");
        const QList<QByteArray> lines = firstSaved + readUntil(child, "reaped");
        QVERIFY2(!lines.isEmpty() && lines.last() == "reaped", "the saver was not reaped");

        int reported = known;
        for (const QByteArray &line : lines) {
            QVERIFY2(!line.startsWith("error"), line.constData());
            if (line != "reaped" && !line.startsWith("pid ")) {
                reported = qMax(reported, line.toInt());
                ++saves;
            }
        }
        ++saves; // the one the kill fell into

        CardTable loaded;
        try {
            LoadMeeting(loaded, folder, name, refused);
        } catch (const QorError &e) {
            QFAIL(qPrintable(QStringLiteral("kill %1: %2").arg(kill).arg(e.message())));
        }
        const int version = versionOf(loaded);
        QVERIFY2(version == reported || version == reported + 1,
                 qPrintable(QStringLiteral("kill %1: version %2 on disk, %3 reported")
                                .arg(kill)
                                .arg(version)
                                .arg(reported)));
        fillVersion(table, version);
        QCOMPARE(describeAll(loaded), describeAll(table));
        QCOMPARE(ListMeetings(folder), QStringList{name});

        for (const MeetingHistory::Version &v : MeetingHistory::versions(history)) {
            if (versionsChecked.contains(v.path))
                continue;
            CardTable kept;
            int dropped = -1;
            try {
                dropped = ReadCards(kept, v.path);
            } catch (const QorError &e) {
                QFAIL(qPrintable(
                    QStringLiteral("kill %1: version %2: %3").arg(kill).arg(v.path, e.message())));
            }
            QCOMPARE(dropped, 0);
            QVERIFY(versionOf(kept) <= version);
            versionsChecked.insert(v.path);
        }
        QVERIFY2(
            versionsChecked.size() <= saves,
            qPrintable(
                QStringLiteral("%1 versions of %2 saves").arg(versionsChecked.size()).arg(saves)));

        seen.insert(version);
        if (version == reported + 1)
            ++inFlight;
        known = version;
    }
    child.closeWriteChannel();
    QVERIFY(child.waitForFinished(10000));
    qInfo("%d kills in %lld ms: %d versions seen, newest %d; %d kills left the version being "
          "saved in place; %d saves kept %d versions, each whole; no failure",
          kKills, clock.elapsed(), int(seen.size()), known, inFlight, saves,
          int(versionsChecked.size()));
    QVERIFY(seen.size() > kKills / 2); // the kills fell while saving, not only before it
#endif
}

QTEST_GUILESS_MAIN(TestMeetingCrash)
#include "tst_meetingcrash.moc"
