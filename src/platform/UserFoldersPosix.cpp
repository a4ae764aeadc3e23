#include "platform/UserFolders.h"

#ifndef Q_OS_WIN

#include "platform/FileErrors.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Kind { Missing, Own, NotOwn };

// What stands at path, without following a link; a failing lstat other than "missing" is raised.
Kind inspect(const QByteArray &path, struct stat &info)
{
    if (::lstat(path.constData(), &info) != 0) {
        if (errno == ENOENT)
            return Kind::Missing;
        FileErrors::raiseNative(errno);
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() ? Kind::Own : Kind::NotOwn;
}

QString withSeparator(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

// The session's runtime folder, when it is a private folder of the user.
QString runtimeFolder()
{
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        return QString();
    struct stat info;
    try {
        if (inspect(QFile::encodeName(folder), info) != Kind::Own || (info.st_mode & 077))
            return QString();
    } catch (const QorError &) {
        return QString();
    }
    return withSeparator(folder);
}

} // namespace

namespace UserFolders {

QString tempFolder()
{
    const QString runtime = runtimeFolder();
    if (!runtime.isEmpty())
        return runtime;

    const QString folder =
        ensureOwnFolder(QDir::tempPath(), QStringLiteral("QorClient-%1").arg(::geteuid()));
    // Made private even when the user's own folder was left open to others.
    struct stat info;
    const QByteArray name = QFile::encodeName(folder);
    if (::lstat(name.constData(), &info) == 0 && (info.st_mode & 077) &&
        ::chmod(name.constData(), 0700) != 0)
        FileErrors::raiseNative(errno);
    return folder;
}

QString ensureOwnFolder(const QString &parent, const QString &name)
{
    const QString path = FileSystem::joinPath(parent, name);
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    Kind kind = inspect(native, info);
    if (kind == Kind::Missing) {
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
            FileErrors::raiseNative(errno);
        kind = inspect(native, info); // someone may have been quicker
    }
    if (kind != Kind::Own)
        throw QorError(notOwnFolderMessage(path));
    return withSeparator(path);
}

} // namespace UserFolders

#endif
