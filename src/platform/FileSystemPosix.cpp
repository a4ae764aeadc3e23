#include "platform/FileSystemNative.h"

#include "platform/FileSystem.h"

#ifndef Q_OS_WIN

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystemNative {

namespace {

// The descriptor as a stdio file, blocking again; closed on failure.
std::FILE *asFile(int fd, const char *mode, int &error)
{
    const int flags = ::fcntl(fd, F_GETFL);
    std::FILE *file = flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0
                          ? nullptr
                          : ::fdopen(fd, mode);
    if (!file) {
        error = errno ? errno : EIO;
        ::close(fd);
    }
    return file;
}

std::FILE *openForReading(const QByteArray &name, int &error)
{
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > FileSystem::kMaxReadSize) {
        error = errno                    ? errno
                : S_ISDIR(info.st_mode)  ? EISDIR // as Windows says of a folder: access denied
                : S_ISREG(info.st_mode)  ? kTooLarge
                                         : kNotRegularFile;
        ::close(fd);
        return nullptr;
    }
    return asFile(fd, "rb", error);
}

std::FILE *openForWriting(const QByteArray &name, int &error)
{
    struct stat info;
    int flags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (::lstat(name.constData(), &info) == 0) {
        if (S_ISCHR(info.st_mode)) {
            flags |= O_TRUNC; // a device, such as /dev/null: written where it is
        } else if (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) {
            // Whatever a planted link or a second name of another file points at stays untouched.
            if (::unlink(name.constData()) != 0) {
                error = errno;
                return nullptr;
            }
            flags |= O_CREAT | O_EXCL;
        } else {
            error = S_ISDIR(info.st_mode) ? EISDIR : kNotRegularFile;
            return nullptr;
        }
    } else if (errno == ENOENT) {
        flags |= O_CREAT | O_EXCL;
    } else {
        error = errno;
        return nullptr;
    }
    const int fd = ::open(name.constData(), flags, 0666);
    if (fd < 0) {
        error = errno == ELOOP ? kNotRegularFile : errno;
        return nullptr;
    }
    if (::fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISCHR(info.st_mode))) {
        error = errno ? errno : kNotRegularFile;
        ::close(fd);
        return nullptr;
    }
    return asFile(fd, "wb", error);
}

std::FILE *openForAppend(const QByteArray &name, int &error)
{
    const int fd = ::open(name.constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY |
                              O_CLOEXEC,
                          0666);
    if (fd < 0) {
        // ELOOP: a link; ENXIO: a FIFO nobody reads.
        error = errno == ELOOP || errno == ENXIO ? kNotRegularFile : errno;
        return nullptr;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = errno ? errno : kNotRegularFile;
        ::close(fd);
        return nullptr;
    }
    return asFile(fd, "ab", error);
}

} // namespace

std::FILE *open(const QString &path, Mode mode, int &error)
{
    errno = 0;
    error = 0;
    const QByteArray name = QFile::encodeName(path);
    switch (mode) {
    case Mode::Read:
        return openForReading(name, error);
    case Mode::Write:
        return openForWriting(name, error);
    case Mode::Append:
        return openForAppend(name, error);
    }
    return nullptr;
}

int lastStdioError()
{
    return errno;
}

void resetStdioError()
{
    errno = 0;
}

void preferLargePages(char *buffer, qsizetype size)
{
#ifdef MADV_HUGEPAGE
    constexpr quintptr kLargePage = 2 << 20;
    const quintptr from = (quintptr(buffer) + kLargePage - 1) & ~(kLargePage - 1);
    const quintptr to = (quintptr(buffer) + quintptr(size)) & ~(kLargePage - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE); // only a hint
#else
    Q_UNUSED(buffer);
    Q_UNUSED(size);
#endif
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

int hardLink(const QString &existing, const QString &newName)
{
    return ::link(QFile::encodeName(existing).constData(), QFile::encodeName(newName).constData()) ==
                   0
               ? 0
               : errno;
}

FileStamp stamp(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, quint64(info.st_ino), qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

int hideFolder(const QString &)
{
    return 0;
}

} // namespace FileSystemNative

#endif
