#include "platform/DocumentOpener.h"

namespace {

DocumentOpener::OpenFunction &opener()
{
    static DocumentOpener::OpenFunction function;
    return function;
}

} // namespace

namespace DocumentOpener {

void install(OpenFunction open)
{
    opener() = std::move(open);
}

bool open(const QString &path)
{
    const OpenFunction &function = opener();
    return function ? function(path) : false;
}

} // namespace DocumentOpener
