#include "platform/FileCopy.h"

#ifdef Q_OS_WIN

#include "platform/SystemError.h"

#include <windows.h>

namespace {

const wchar_t *wide(const QString &path)
{
    return reinterpret_cast<const wchar_t *>(path.utf16());
}

[[noreturn]] void raiseLast()
{
    const DWORD error = GetLastError();
    SystemError::raiseNative(error ? int(error) : ERROR_GEN_FAILURE);
}

} // namespace

namespace FileCopy {

void copyAsNormal(const QString &source, const QString &target)
{
    // CopyFile refuses a file onto itself with a sharing violation and leaves it alone.
    if (!CopyFileW(wide(source), wide(target), FALSE))
        raiseLast();
    if (!SetFileAttributesW(wide(target), FILE_ATTRIBUTE_NORMAL))
        raiseLast();
}

} // namespace FileCopy

#endif
