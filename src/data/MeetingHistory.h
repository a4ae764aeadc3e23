#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

// The versions of a meeting: every save first gives the meeting file as it was a second name in
// the hidden history folder beside the meeting files, "<folder>/.history/<meeting>/
// <yyyyMMdd-HHmmss-zzz>.dat". A hard link writes no byte; where the file system has no links
// the old file is copied, but only when that costs no more than the save itself. Keeping a
// version never stops a save: what fails is told once per run, and the save goes on.
namespace MeetingHistory {

// "<folder>/.history/<name>/": the versions of one meeting.
QString folderOf(const QString &folder, const QString &name);

// Keeps meetingFile as it is now as a version of its meeting, before a save of newSize bytes
// replaces it. A version is whole or absent: a link is one step, a copy is renamed into place
// when complete. Never throws; tells the user once per run when no version could be kept.
void keepVersion(const QString &meetingFile, const QString &historyFolder, qint64 newSize);

// The versions of a meeting, newest first: their files and the times their names hold, the
// times they were replaced (the meeting was so until then).
struct Version
{
    QString path;
    QDateTime time;
};
QList<Version> versions(const QString &historyFolder);

// Which versions thinning removes, given every version's time (any order) and now: every version
// of the last 24 hours stays, then the newest of each day for 60 days, and always the newest 20.
QList<int> thinnedOut(const QList<QDateTime> &times, const QDateTime &now);
// Removes those versions; a file that cannot be removed stays.
void thin(const QString &historyFolder, const QDateTime &now);
// Thinning after a save (never at start): at most once in ten minutes of the program's clock per
// meeting, since a save in between can only add a version of the last 24 hours, which stays.
void thinAfterSave(const QString &historyFolder, const QDateTime &now);

// What a version holds against the meeting file now: its cards, and the cards added, removed and
// changed since (a card is known by its entry time, CHANGEDATE; cards are compared by their
// values, as the program writes them). A version that does not read back whole is damaged and
// cannot be restored.
struct Comparison
{
    bool damaged = false;
    int cards = 0;
    int added = 0;
    int removed = 0;
    int changed = 0;
};
class Comparer
{
public:
    // current: the bytes of the meeting file now (none: every card counts as removed since).
    explicit Comparer(const QByteArray &current);
    Comparison compare(const QByteArray &version) const;

private:
    QHash<QByteArray, QList<QByteArray>> m_current;
};

// Makes the version the content of the meeting file: the file as it is becomes a version first,
// so that the restore can be undone. The file is replaced in one step, as by a save.
void restore(const QString &meetingFile, const QString &historyFolder, const QString &version);

// The file name of a version kept at time.
QString versionFileName(const QDateTime &time);

// Whether saves keep versions (the default); off only to measure what keeping them costs.
void setKeeping(bool keeping);
// The next failure to keep a version is told again, as in a new run (for tests).
void forgetNotice();

} // namespace MeetingHistory
