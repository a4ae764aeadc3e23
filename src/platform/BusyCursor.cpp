#include "platform/BusyCursor.h"

namespace {
std::function<void()> g_show;
std::function<void()> g_restore;
int g_depth = 0;
} // namespace

BusyCursor::BusyCursor()
{
    ++g_depth;
    if (g_show)
        g_show();
}

BusyCursor::~BusyCursor()
{
    --g_depth;
    if (g_restore)
        g_restore();
}

void BusyCursor::installHooks(std::function<void()> show, std::function<void()> restore)
{
    g_show = std::move(show);
    g_restore = std::move(restore);
}

int BusyCursor::depth()
{
    return g_depth;
}
