#pragma once

#include "platform/FileSystemNative.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// Files are read whole and written whole; nothing stays open between calls. Every failure is
// raised as QorFileError with the runtime's text for the system error (FileErrors).
// Every operation takes its folder or path, so that tests work in temporary folders.
namespace FileSystem {

// The folder of the running executable, in native form with a trailing separator.
QString programFolder();

// folder + fileName, with one separator between them.
QString joinPath(const QString &folder, const QString &fileName);

// Whether the file system can hold a file of that name (without folder): on Windows 255
// characters, elsewhere 255 bytes of the name as the system encodes it.
bool fitsFileName(const QString &fileName);

bool fileExists(const QString &path);     // an ordinary file, or a link to one
bool anythingExists(const QString &path); // a file, a folder, a dangling link ...
// What tells a file's content as written apart from any other (FileSystemNative::FileStamp).
FileSystemNative::FileStamp stamp(const QString &path);

// Reads a regular file whole (a link to one is followed). Anything else at the path, a FIFO or a
// device, is refused without waiting on it, and so is a file over kMaxReadSize, before a byte
// is read: QorError with a message naming the file.
QByteArray readWhole(const QString &path);
constexpr qint64 kMaxReadSize = qint64(1) << 30;

// Writes bytes to a new file at path. What stood there, a file or a link, is removed first and
// never followed, so nothing a planted name points at is written; a FIFO or a folder is refused.
// Every write, the flush, the sync to disk and the close are checked; the file is closed on
// every path. A failure leaves the file as far as it was written.
void writeWhole(const QString &path, const QByteArray &bytes);
// The same for bytes made while they are written: next gives each following piece and returns
// false after the last. What next throws closes the file and goes on.
void writeWhole(const QString &path, const std::function<bool(QByteArray &piece)> &next);

// Appends bytes to the file, creating it when missing; checked like writeWhole. A link or
// anything but a regular file at the path is refused, never followed. For logs that only ever
// grow: a failure takes back what it appended (and the file it created).
void appendWhole(const QString &path, const QByteArray &bytes);

// Replaces target by source in one step, also a read-only target; target need not exist.
// The folder is not synced: see syncFolder.
void renameOver(const QString &source, const QString &target);

// Makes a rename just done in folder survive a power loss.
void syncFolder(const QString &folder);

// The safe save every writer of a file the user cannot lose goes through: the bytes go to
// tempPath (writeWhole), which then replaces target (renameOver, syncFolder). At every moment
// target holds either its complete old or its complete new content.
void saveWhole(const QString &target, const QByteArray &bytes, const QString &tempPath);

void clearReadOnly(const QString &path); // nothing happens when there is no such file
void removeFile(const QString &path);
// Gives an existing file a second name on the same volume (a hard link: not a byte written);
// never replaces what stands at newName. File systems without links (FAT, some shares) refuse.
void hardLink(const QString &existing, const QString &newName);
// Makes the folder with its parents, hidden where the system marks hidden folders (Windows);
// elsewhere the name makes a folder hidden.
void makeHiddenFolder(const QString &path);
// Puts the file into the desktop's trash, from where the user can restore it; false when there
// is no trash for it (the caller then removes it) or the file could not be moved. Fault
// injection: the Remove step.
bool moveToTrash(const QString &path);

// Names of the ordinary files in folder whose names end in suffix, letter case ignored; unsorted.
// On Linux, names beginning with "." are ordinary files too.
QStringList listFiles(const QString &folder, const QString &suffix);

// What readWhole, writeWhole and appendWhole say of a path that is no regular file.
QString notRegularFileMessage(const QString &path);

// The names, read as Windows-1251, of the files in folder ending in suffix whose names are no
// text in the system's encoding: names unpacked from an archive made on Windows hold
// Windows-1251 bytes, which Qt cannot name and so cannot open. Empty on Windows.
QStringList namesOutsideSystemEncoding(const QString &folder, const QString &suffix);

// Test seam. The hook runs before each step; a non-zero result makes that step fail with that
// native error (an errno on Linux, a GetLastError() code on Windows) as if the system had
// refused it. Write runs once per chunk of at most kChunkSize bytes.
enum class Step {
    Open,
    Read,
    Write,
    Flush,
    Sync,
    Close,
    ClearReadOnly,
    Rename,
    SyncFolder,
    Remove,
    Link,
    MakeFolder
};
using FaultHook = std::function<int(Step step, const QString &path)>;
void setFaultHook(FaultHook hook);
constexpr qsizetype kChunkSize = 64 * 1024;
// For Sync and SyncFolder, this result leaves the step out: tests that cut no power need not
// wait for the disk.
constexpr int kSkip = -1;

} // namespace FileSystem
