#include "platform/UserFolders.h"

#ifdef Q_OS_WIN

#include "platform/FileErrors.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <QDir>
#include <QFileInfo>
#include <windows.h>

namespace UserFolders {

QString tempFolder()
{
    // GetTempPath names the user's own temporary folder on Windows.
    QString folder = QDir::toNativeSeparators(QDir::tempPath());
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    return folder;
}

QString ensureOwnFolder(const QString &parent, const QString &name)
{
    const QString path = FileSystem::joinPath(parent, name);
    const auto *wide = reinterpret_cast<const wchar_t *>(path.utf16());
    if (!CreateDirectoryW(wide, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        FileErrors::raiseNative(int(GetLastError()));
    const DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        FileErrors::raiseNative(int(GetLastError()));
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        throw QorError(notOwnFolderMessage(path));
    return path.endsWith(u'\\') ? path : path + u'\\';
}

} // namespace UserFolders

#endif
