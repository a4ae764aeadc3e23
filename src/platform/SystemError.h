#pragma once

#include <QString>

// Failed system calls outside file input and output (copying a file, changing its marks) are
// raised as QorSystemError "Системная ошибка.  Код: %d.\r\n%s": the system's error code and its
// text. On Windows both come from the system. Elsewhere an errno is first turned into the
// Windows code of the same failure (ENOENT 2; ENOTDIR, ELOOP 3; EMFILE, ENFILE 4; EACCES, EPERM,
// EROFS, EISDIR, ETXTBSY 5; EBADF 6; ENOMEM 8; EXDEV 17; EBUSY 32; EEXIST 80; EINVAL 87;
// ENOSPC, EDQUOT 112; ENOTEMPTY 145; ENAMETOOLONG 206; EFBIG 223; EIO 1117), so the codes read
// the same on every system, and the text is the Russian one Windows gives for that code; any
// other errno keeps its number and the C library's text.
namespace SystemError {

// The code reported for a native error (errno on Linux, GetLastError() on Windows).
int codeOfNative(int nativeError);

// The system's text for a native error, without a final full stop.
QString textOfNative(int nativeError);

// "Системная ошибка.  Код: %d.\r\n%s".
QString message(int code, const QString &text);

[[noreturn]] void raiseNative(int nativeError);

} // namespace SystemError
