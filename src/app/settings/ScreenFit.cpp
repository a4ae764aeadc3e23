#include "app/settings/ScreenFit.h"

#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <limits>

// WindowRect and keeping a restored window on a screen.

WindowRect WindowRect::fromQRect(const QRect &rect)
{
    return {rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

QRect WindowRect::toQRect() const
{
    return QRect(left, top, right - left, bottom - top);
}

bool WindowRect::operator==(const WindowRect &other) const
{
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
}

namespace {

// Enough of the title strip to take the window with the mouse.
constexpr int kTitleHeight = 32;
constexpr int kGripWidth = 64;
constexpr int kGripHeight = 8;

qint64 squaredDistance(const QPoint &point, const QRect &area)
{
    const qint64 dx = point.x() < area.left()    ? area.left() - point.x()
                      : point.x() > area.right() ? point.x() - area.right()
                                                 : 0;
    const qint64 dy = point.y() < area.top()      ? area.top() - point.y()
                      : point.y() > area.bottom() ? point.y() - area.bottom()
                                                  : 0;
    return dx * dx + dy * dy;
}

// How much of [from, to) lies in [areaFrom, areaTo).
qint64 overlap(qint64 from, qint64 to, qint64 areaFrom, qint64 areaTo)
{
    return std::max<qint64>(0, std::min(to, areaTo) - std::max(from, areaFrom));
}

} // namespace

bool fitOntoScreens(WindowRect *rect, const QList<QRect> &available)
{
    if (available.isEmpty())
        return false;
    // In 64 bits, and not through QRect: whatever a stored rectangle holds, no size or
    // intersection may overflow.
    const qint64 width = qint64(rect->right) - rect->left;
    const qint64 height = qint64(rect->bottom) - rect->top;
    const qint64 titleWidth = std::max<qint64>(width, 1);
    const qint64 titleHeight = std::clamp<qint64>(height, 1, kTitleHeight);
    for (const QRect &area : available) {
        const qint64 shownWidth =
            overlap(rect->left, rect->left + titleWidth, area.x(), qint64(area.x()) + area.width());
        const qint64 shownHeight =
            overlap(rect->top, rect->top + titleHeight, area.y(), qint64(area.y()) + area.height());
        if (shownWidth >= std::min<qint64>(kGripWidth, titleWidth) &&
            shownHeight >= std::min<qint64>(kGripHeight, titleHeight))
            return false;
    }

    const QPoint centre(int(rect->left + width / 2), int(rect->top + qMax<qint64>(height, 0) / 2));
    QRect nearest = available.first();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect &area : available) {
        const qint64 d = squaredDistance(centre, area);
        if (d < best) {
            best = d;
            nearest = area;
        }
    }
    const int newWidth = int(std::clamp<qint64>(width, 0, nearest.width()));
    const int newHeight = int(std::clamp<qint64>(height, 0, nearest.height()));
    const int left =
        qBound(nearest.left(), rect->left, nearest.left() + nearest.width() - newWidth);
    const int top = qBound(nearest.top(), rect->top, nearest.top() + nearest.height() - newHeight);
    *rect = {left, top, left + newWidth, top + newHeight};
    return true;
}
