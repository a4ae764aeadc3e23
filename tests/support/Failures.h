#pragma once

#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <functional>

namespace Failures {

// The message an operation fails with, empty when it succeeds; code receives the system error
// code of a file error.
inline QString errorOf(const std::function<void()> &operation, int *code = nullptr)
{
    try {
        operation();
    } catch (const QorFileError &e) {
        if (code)
            *code = e.code();
        return e.message();
    } catch (const QorError &e) {
        return e.message();
    }
    return QString();
}

// Makes the n-th time the given file step runs fail with error, for its lifetime.
class InjectFault
{
public:
    InjectFault(FileSystem::Step step, int nth, int error)
    {
        FileSystem::setFaultHook([=, count = 0](FileSystem::Step s, const QString &) mutable {
            return s == step && ++count == nth ? error : 0;
        });
    }
    ~InjectFault() { FileSystem::setFaultHook({}); }
    InjectFault(const InjectFault &) = delete;
    InjectFault &operator=(const InjectFault &) = delete;
};

} // namespace Failures
