#include "platform/FileSystemNative.h"

#ifdef Q_OS_WIN

#include <cerrno>
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

std::FILE *open(const QString &path, bool forWriting, int &error)
{
    _doserrno = 0;
    errno = 0;
    std::FILE *file = _wfopen(wide(path), forWriting ? L"wbN" : L"rbN");
    error = file ? 0 : lastStdioError();
    return file;
}

std::FILE *openForAppend(const QString &path, int &error)
{
    _doserrno = 0;
    errno = 0;
    std::FILE *file = _wfopen(wide(path), L"abN");
    error = file ? 0 : lastStdioError();
    return file;
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

} // namespace FileSystemNative

#endif
