#include "platform/FileCopy.h"

#ifndef Q_OS_WIN

#include "platform/SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor on every path out of a scope.
struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

int copyBytes(int in, int out)
{
    static constexpr size_t kBuffer = 64 * 1024;
    char buffer[kBuffer];
    for (;;) {
        const ssize_t n = ::read(in, buffer, kBuffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        for (ssize_t done = 0; done < n;) {
            const ssize_t written = ::write(out, buffer + done, size_t(n - done));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += written;
        }
    }
}

// Writes the open source into a new hidden file in folder and renames it over target.
int writeAndReplace(int in, mode_t mode, const QString &folder, const QByteArray &target)
{
    QByteArray temp = QFile::encodeName(folder) + "/.qorcopy.XXXXXX";
    Descriptor out;
    out.fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (out.fd < 0) // a missing folder reads as one, as on Windows (code 3)
        return errno == ENOENT ? ENOTDIR : errno;

    int error = copyBytes(in, out.fd);
    if (!error && ::fchmod(out.fd, mode) != 0)
        error = errno;
    if (!error && ::fsync(out.fd) != 0 && errno != EINVAL && errno != EROFS)
        error = errno;
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (error)
        ::unlink(temp.constData());
    return error;
}

int copyNative(const QString &source, const QString &target)
{
    Descriptor in;
    in.fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in.fd < 0)
        return errno;
    struct stat from;
    if (::fstat(in.fd, &from) != 0)
        return errno;
    if (S_ISDIR(from.st_mode))
        return EISDIR;

    const QByteArray targetName = QFile::encodeName(target);
    struct stat to;
    if (::stat(targetName.constData(), &to) == 0) {
        // The same file under another name, or through a link: writing it would destroy it.
        if (to.st_dev == from.st_dev && to.st_ino == from.st_ino)
            return EBUSY;
        if (S_ISDIR(to.st_mode))
            return EISDIR;
    } else if (errno != ENOENT) {
        return errno;
    }

    // "Normal" marks: the owner reads and writes; the executable bits stay as they were.
    const mode_t mode = (from.st_mode & 0777) | S_IRUSR | S_IWUSR;
    return writeAndReplace(in.fd, mode, QFileInfo(target).absolutePath(), targetName);
}

} // namespace

namespace FileCopy {

void copyAsNormal(const QString &source, const QString &target)
{
    if (const int error = copyNative(source, target))
        SystemError::raiseNative(error);
}

} // namespace FileCopy

#endif
