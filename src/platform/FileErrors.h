#pragma once

#include <QString>

// The one translation of operating-system errors into the runtime's texts that the user sees
// ("Файл не найден", "Диск полон", "Ошибка ввода/вывода 32" ...). Every file operation reports
// through it, so the same failure always reads the same.
//
// Codes are the runtime's: the Windows error codes, which Windows passes through unchanged.
// On Linux an errno is first turned into the Windows code of the same failure:
//   ENOENT 2; ENOTDIR, ENAMETOOLONG, ELOOP 3; EMFILE, ENFILE 4; EACCES, EPERM, EROFS, EISDIR,
//   ETXTBSY 5; ENOSPC, EDQUOT 101; EBUSY 32; EEXIST 80; EXDEV 17; ENOTEMPTY 145; EINVAL 87;
//   EFBIG 223; ENOMEM 8; EBADF 6; EIO 1117.
// Any other errno keeps its own number, unless that number has a text of its own here
// (3, 4, 100, 101, 106 are ESRCH, EINTR, ENETDOWN, ENETUNREACH, EISCONN); those become 1117,
// so that an unrelated failure never reads as "Диск полон".
namespace FileErrors {

// The runtime's text for a code: 2 "Файл не найден" ... and "Ошибка ввода/вывода %d" otherwise.
QString textOf(int code);

// The runtime code of an errno value (see above).
int codeOfErrno(int errnoValue);

// The Windows error code of the failure an errno value names; 0 when Windows has none.
int windowsCodeOfErrno(int errnoValue);

// The runtime code of a native error: errno on Linux, a GetLastError() value on Windows.
int codeOfNative(int nativeError);

// Throws QorFileError with the text and the code.
[[noreturn]] void raiseCode(int code);
[[noreturn]] void raiseNative(int nativeError);

} // namespace FileErrors
