#pragma once

#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <QMetaType>

#include <cerrno>
#include <functional>

namespace Failures {

// The message an operation fails with, empty when it succeeds; code receives the system error
// code of a file error or of a system error.
inline QString errorOf(const std::function<void()> &operation, int *code = nullptr)
{
    try {
        operation();
    } catch (const QorSystemError &e) {
        if (code)
            *code = e.code();
        return e.message();
    } catch (const QorFileError &e) {
        if (code)
            *code = e.code();
        return e.message();
    } catch (const QorError &e) {
        return e.message();
    }
    return QString();
}

// The failures tests make the system report, each as the platform's own error code: the file
// layer's fault hook takes native codes (errno here, GetLastError() on Windows).
enum class Fault { AccessDenied, DiskFull, QuotaExceeded, IoError, Busy, TooManyFiles };

inline int nativeError(Fault fault)
{
    switch (fault) {
#ifdef Q_OS_WIN
    case Fault::AccessDenied:
        return 5; // ERROR_ACCESS_DENIED
    case Fault::DiskFull:
        return 112; // ERROR_DISK_FULL
    case Fault::QuotaExceeded:
        return 1295; // ERROR_DISK_QUOTA_EXCEEDED
    case Fault::IoError:
        return 1117; // ERROR_IO_DEVICE
    case Fault::Busy:
        return 32; // ERROR_SHARING_VIOLATION
    case Fault::TooManyFiles:
        return 4; // ERROR_TOO_MANY_OPEN_FILES
#else
    case Fault::AccessDenied:
        return EACCES;
    case Fault::DiskFull:
        return ENOSPC;
    case Fault::QuotaExceeded:
#ifdef EDQUOT
        return EDQUOT;
#else
        return ENOSPC;
#endif
    case Fault::IoError:
        return EIO;
    case Fault::Busy:
        return EBUSY;
    case Fault::TooManyFiles:
        return EMFILE;
#endif
    }
    return 0;
}

// Makes the n-th time the given file step runs fail with the fault (every time with
// kEveryTime), for its lifetime.
class InjectFault
{
public:
    static constexpr int kEveryTime = -1;

    InjectFault(FileSystem::Step step, int nth, Fault fault)
    {
        const int error = nativeError(fault);
        FileSystem::setFaultHook([=, count = 0](FileSystem::Step s, const QString &) mutable {
            return s == step && (++count == nth || nth == kEveryTime) ? error : 0;
        });
    }
    ~InjectFault() { FileSystem::setFaultHook({}); }
    InjectFault(const InjectFault &) = delete;
    InjectFault &operator=(const InjectFault &) = delete;
};

} // namespace Failures

Q_DECLARE_METATYPE(Failures::Fault)
