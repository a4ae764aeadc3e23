#include "platform/FileSystemNative.h"

#ifdef Q_OS_WIN

#include "platform/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <windows.h>

namespace {

const wchar_t *wide(const QString &path)
{
    return reinterpret_cast<const wchar_t *>(path.utf16());
}

int lastError()
{
    const DWORD error = GetLastError();
    return error ? int(error) : ERROR_GEN_FAILURE;
}

} // namespace

namespace FileSystemNative {

namespace {

// A handle as a stdio file; the handle is closed on failure.
std::FILE *asFile(HANDLE handle, int flags, const wchar_t *mode, int &error)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        CloseHandle(handle);
        error = ERROR_TOO_MANY_OPEN_FILES;
        return nullptr;
    }
    std::FILE *file = _wfdopen(fd, mode);
    if (!file) {
        _close(fd);
        error = ERROR_TOO_MANY_OPEN_FILES;
    }
    return file;
}

// Only a file on a disk: a device name ("NUL.dat", "CON") or a pipe is no place for cards.
bool onDisk(HANDLE handle)
{
    return GetFileType(handle) == FILE_TYPE_DISK;
}

std::FILE *openForReading(const wchar_t *name, int &error)
{
    const HANDLE handle = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastError();
        return nullptr;
    }
    LARGE_INTEGER size{};
    if (!onDisk(handle) || !GetFileSizeEx(handle, &size) ||
        size.QuadPart > FileSystem::kMaxReadSize) {
        error = onDisk(handle) ? kTooLarge : kNotRegularFile;
        CloseHandle(handle);
        return nullptr;
    }
    return asFile(handle, _O_RDONLY | _O_BINARY, L"rb", error);
}

std::FILE *openForWriting(const wchar_t *name, int &error)
{
    // A link (a reparse point) or a file standing there goes first, never followed.
    const DWORD attributes = GetFileAttributesW(name);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !link) {
            error = ERROR_ACCESS_DENIED;
            return nullptr;
        }
        const bool removed =
            (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(name) : DeleteFileW(name);
        if (!removed) {
            error = lastError();
            return nullptr;
        }
    }
    const HANDLE handle =
        CreateFileW(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastError();
        return nullptr;
    }
    if (!onDisk(handle)) {
        CloseHandle(handle);
        error = kNotRegularFile;
        return nullptr;
    }
    return asFile(handle, _O_WRONLY | _O_BINARY, L"wb", error);
}

std::FILE *openForAppend(const wchar_t *name, int &error)
{
    const HANDLE handle =
        CreateFileW(name, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastError();
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!onDisk(handle) || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        CloseHandle(handle);
        error = kNotRegularFile;
        return nullptr;
    }
    return asFile(handle, _O_WRONLY | _O_APPEND | _O_BINARY, L"ab", error);
}

} // namespace

std::FILE *open(const QString &path, Mode mode, int &error)
{
    error = 0;
    const wchar_t *name = wide(path);
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
    if (_doserrno)
        return int(_doserrno);
    switch (errno) { // the runtime failed without a system error
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
        return ERROR_ACCESS_DENIED;
    case ENOSPC:
        return ERROR_DISK_FULL;
    case EMFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    default:
        return ERROR_GEN_FAILURE;
    }
}

void resetStdioError()
{
    _doserrno = 0;
    errno = 0;
}

void preferLargePages(char *, qsizetype)
{
    // Large pages need a privilege the clerks' accounts do not hold.
}

int syncFile(std::FILE *file)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return FlushFileBuffers(handle) ? 0 : lastError();
}

int clearReadOnly(const QString &path)
{
    const DWORD attributes = GetFileAttributesW(wide(path));
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : int(error);
    }
    if (!(attributes & FILE_ATTRIBUTE_READONLY) || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return SetFileAttributesW(wide(path), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY))
               ? 0
               : lastError();
}

int renameOver(const QString &source, const QString &target)
{
    // A read-only file cannot be replaced on Windows.
    if (const int error = clearReadOnly(target))
        return error;
    return MoveFileExW(wide(source), wide(target),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : lastError();
}

int syncFolder(const QString &)
{
    return 0; // MOVEFILE_WRITE_THROUGH has already made the rename durable
}

int removeFile(const QString &path)
{
    return DeleteFileW(wide(path)) ? 0 : lastError();
}

int hardLink(const QString &existing, const QString &newName)
{
    return CreateHardLinkW(wide(newName), wide(existing), nullptr) ? 0 : lastError();
}

FileStamp stamp(const QString &path)
{
    // Only the attributes are asked for: a file open elsewhere, even for writing, still tells.
    const HANDLE file = CreateFileW(wide(path), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!known)
        return {};
    return {true, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
            (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
            (qint64(info.ftLastWriteTime.dwHighDateTime) << 32) |
                info.ftLastWriteTime.dwLowDateTime};
}

int hideFolder(const QString &path)
{
    const DWORD attributes = GetFileAttributesW(wide(path));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    return SetFileAttributesW(wide(path), attributes | FILE_ATTRIBUTE_HIDDEN) ? 0 : lastError();
}

} // namespace FileSystemNative

#endif
