#include "platform/FileSystemNative.h"

#ifndef Q_OS_WIN

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystemNative {

std::FILE *open(const QString &path, bool forWriting, int &error)
{
    errno = 0;
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), forWriting ? "wbe" : "rbe");
    error = file ? 0 : (errno ? errno : EIO);
    return file;
}

std::FILE *openForAppend(const QString &path, int &error)
{
    errno = 0;
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "abe");
    error = file ? 0 : (errno ? errno : EIO);
    return file;
}

int lastStdioError()
{
    return errno;
}

void resetStdioError()
{
    errno = 0;
}

int syncFile(std::FILE *file)
{
    if (::fsync(fileno(file)) == 0)
        return 0;
    // Some files (a pipe, a device) cannot be synced; nothing is lost by that.
    return errno == EINVAL || errno == EROFS ? 0 : errno;
}

int clearReadOnly(const QString &path)
{
    struct stat info;
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &info) != 0)
        return errno == ENOENT ? 0 : errno;
    // Only an ordinary file, never what a link points to.
    if (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR))
        return 0;
    return ::chmod(name.constData(), (info.st_mode & 07777) | S_IWUSR) == 0 ? 0 : errno;
}

int renameOver(const QString &source, const QString &target)
{
    // rename() replaces the target in one step, whatever its permission bits say.
    return ::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) ==
                   0
               ? 0
               : errno;
}

int syncFolder(const QString &folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // Not every file system syncs folders; there is nothing more to do then.
    if (error == EINVAL || error == EROFS)
        error = 0;
    return error;
}

int removeFile(const QString &path)
{
    return ::unlink(QFile::encodeName(path).constData()) == 0 ? 0 : errno;
}

} // namespace FileSystemNative

#endif
