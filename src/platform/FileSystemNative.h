#pragma once

#include <QString>
#include <cstdio>

// What differs by operating system under FileSystem. Each function returns 0 or the native
// error (errno on Linux, a GetLastError() code on Windows).
namespace FileSystemNative {

// Errors of their own besides the system's, for what stands at a path.
constexpr int kNotRegularFile = -2; // a FIFO, socket, device or folder, or a link where none may be
constexpr int kTooLarge = -3;       // a file to read over FileSystem::kMaxReadSize

// Files are opened for one of these, never inherited by child processes, never waiting on
// what stands at the path (a FIFO would block the program for good):
//   Read    an existing regular file (a link to one is followed), at most kMaxReadSize bytes
//   Write   a new file: a link or a file at the path is removed first (never followed), and the
//           file is created exclusively; a character device is written in place (elsewhere than
//           on Windows, where a device name is refused)
//   Append  an existing regular file or a new one; a link is refused, never followed
enum class Mode { Read, Write, Append };
std::FILE *open(const QString &path, Mode mode, int &error);

// The native error of the stdio call that just failed.
int lastStdioError();
void resetStdioError();
// Asks for a large buffer about to be filled to be backed by large pages where the system has
// them (Linux): a meeting of 25 MB is then a dozen page faults instead of six thousand.
void preferLargePages(char *buffer, qsizetype size);

int syncFile(std::FILE *file);
int clearReadOnly(const QString &path);
int renameOver(const QString &source, const QString &target);
int syncFolder(const QString &folder);
int removeFile(const QString &path);
// A second name for an existing file, on the same volume; never replaces what stands there.
int hardLink(const QString &existing, const QString &newName);
// What tells a file's content as written apart from any other: the file's identity on its
// volume, its size and its time of writing to the system's precision. A file replaced by a
// rename is another file, so every save of this program changes it, also one that keeps the
// size within the same millisecond.
struct FileStamp
{
    bool exists = false;
    quint64 identity = 0;
    qint64 size = 0;
    qint64 written = 0;
    bool operator==(const FileStamp &o) const
    {
        return exists == o.exists && identity == o.identity && size == o.size &&
               written == o.written;
    }
};
FileStamp stamp(const QString &path);

// Marks a folder hidden where the system has such a mark (Windows); elsewhere a name that
// begins with "." is hidden already.
int hideFolder(const QString &path);

} // namespace FileSystemNative
