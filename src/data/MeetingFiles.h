#pragma once

#include "data/RefusedMeetings.h"

#include <QString>
#include <QStringList>

class CardTable;
class ReferenceLists;

// Meetings are the "*.dat" files of the program folder, in the card text format. Every
// operation takes the folder, so that tests use temporary folders.

// The meeting name of a file name: without its folder; split at "." into words (runs of dots
// count as one, empty words do not count); with two words or more, the last word and the one
// character before it go.
QString MeetingNameOf(const QString &fileName);

// The meeting names of folder: every ordinary file whose name ends in ".dat" without regard to
// letter case, sorted by file name alphabetically without regard to letter case.
QStringList ListMeetings(const QString &folder);

// The meeting file of a name: an existing file whose name equals name + ".dat" without regard to
// letter case, so that "c.DAT" is read and replaced rather than shadowed; otherwise
// folder + name + ".dat". The temporary file is the same with ".tmp" in place of ".dat".
QString meetingFilePath(const QString &folder, const QString &name);
QString meetingTempPath(const QString &meetingFile);
// The backup of a meeting file: "<file>.bak", then ".bak2", ".bak3" ...; shortened where the
// file system could not hold that name.
QString meetingBackupPath(const QString &meetingFile, int number = 1);

// Reads and builds the cards of a meeting on a worker thread, ahead of its load: a program
// starts making its windows while the meeting it opens first is read. The next LoadMeeting of
// that meeting takes them when its file is still as it was when the reading began; otherwise it
// reads the file itself. An empty name preloads nothing.
void PreloadMeeting(const QString &folder, const QString &name);

// Writes every card of the table, also those the filter hides, to the meeting file of name:
// first to the temporary file, which then replaces the meeting file in one step. At every
// moment a complete meeting file is on disk. The filter and the current card stay as they were.
// A meeting whose load refused cards is first kept in its backup file, and so is a file that
// someone else changed since this program last read or wrote it. The file replaced becomes a
// version of the meeting (MeetingHistory), and the versions are thinned after the save.
void SaveMeeting(CardTable &table, const ReferenceLists &lists, const QString &folder,
                 const QString &name, RefusedMeetings &refused = RefusedMeetings::instance());

// Replaces the cards of the table by those of the meeting file of name; without such a file, or
// with the empty name, the table ends empty. Saves nothing: the after-post and after-delete
// handlers are disconnected for the time of the load. The caller disconnects the before-post
// handler when the category date rule must not apply.
void LoadMeeting(CardTable &table, const QString &folder, const QString &name,
                 RefusedMeetings &refused = RefusedMeetings::instance());
