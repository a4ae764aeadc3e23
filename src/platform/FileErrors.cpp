#include "platform/FileErrors.h"

#include "platform/QorError.h"

#include <cerrno>

namespace {

constexpr int kIoDevice = 1117; // ERROR_IO_DEVICE: a failure with no closer meaning

bool hasOwnText(int code)
{
    switch (code) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 100:
    case 101:
    case 106:
        return true;
    default:
        return false;
    }
}

// The runtime's code of a Windows error: disk full and the bad names have codes of their own.
int runtimeCodeOfWindowsError(int error)
{
    switch (error) {
    case 112:  // ERROR_DISK_FULL
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 1295: // ERROR_DISK_QUOTA_EXCEEDED
        return 101;
    case 123: // ERROR_INVALID_NAME
    case 161: // ERROR_BAD_PATHNAME
    case 206: // ERROR_FILENAME_EXCED_RANGE
        return 3;
    default:
        return error;
    }
}

} // namespace

namespace FileErrors {

QString textOf(int code)
{
    switch (code) {
    case 2:
        return QStringLiteral("Файл не найден");
    case 3:
        return QStringLiteral("Неверное имя файла");
    case 4:
        return QStringLiteral("Слишком много открытых файлов");
    case 5:
        return QStringLiteral("В доступе к файлу отказано");
    case 100:
        return QStringLiteral("Чтение за окончанием файла");
    case 101:
        return QStringLiteral("Диск полон");
    case 106:
        return QStringLiteral("Неверный ввод числа");
    default:
        return QStringLiteral("Ошибка ввода/вывода %1").arg(code);
    }
}

int windowsCodeOfErrno(int e)
{
    switch (e) {
    case ENOENT:
        return 2; // ERROR_FILE_NOT_FOUND
    case ENOTDIR:
#ifdef ELOOP
    case ELOOP:
#endif
        return 3; // ERROR_PATH_NOT_FOUND
    case EMFILE:
    case ENFILE:
        return 4; // ERROR_TOO_MANY_OPEN_FILES
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return 5; // ERROR_ACCESS_DENIED
    case EBADF:
        return 6; // ERROR_INVALID_HANDLE
    case ENOMEM:
        return 8; // ERROR_NOT_ENOUGH_MEMORY
    case EXDEV:
        return 17; // ERROR_NOT_SAME_DEVICE
    case EBUSY:
        return 32; // ERROR_SHARING_VIOLATION
    case EEXIST:
        return 80; // ERROR_FILE_EXISTS
    case EINVAL:
        return 87; // ERROR_INVALID_PARAMETER
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return 112; // ERROR_DISK_FULL
    case ENOTEMPTY:
        return 145; // ERROR_DIR_NOT_EMPTY
    case ENAMETOOLONG:
        return 206; // ERROR_FILENAME_EXCED_RANGE
    case EFBIG:
        return 223; // ERROR_FILE_TOO_LARGE
    case EIO:
        return kIoDevice;
    default:
        return 0;
    }
}

int codeOfErrno(int e)
{
    if (const int windows = windowsCodeOfErrno(e))
        return runtimeCodeOfWindowsError(windows);
    return e <= 0 || hasOwnText(e) ? kIoDevice : e;
}

int codeOfNative(int nativeError)
{
#ifdef Q_OS_WIN
    return runtimeCodeOfWindowsError(nativeError);
#else
    return codeOfErrno(nativeError);
#endif
}

void raiseCode(int code)
{
    throw QorFileError(textOf(code), code);
}

void raiseNative(int nativeError)
{
    raiseCode(codeOfNative(nativeError));
}

} // namespace FileErrors
