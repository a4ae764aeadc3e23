#include "app/settings/ScreenFit.h"

#include <QtGlobal>

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

} // namespace

bool fitOntoScreens(WindowRect *rect, const QList<QRect> &available)
{
    if (available.isEmpty())
        return false;
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    const QRect title(rect->left, rect->top, qMax(width, 1), qBound(1, height, kTitleHeight));
    for (const QRect &area : available) {
        const QRect shown = title.intersected(area);
        if (shown.width() >= qMin(kGripWidth, title.width()) &&
            shown.height() >= qMin(kGripHeight, title.height()))
            return false;
    }

    const QPoint centre(rect->left + width / 2, rect->top + qMax(height, 0) / 2);
    QRect nearest = available.first();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect &area : available) {
        const qint64 d = squaredDistance(centre, area);
        if (d < best) {
            best = d;
            nearest = area;
        }
    }
    const int newWidth = qMin(width, nearest.width());
    const int newHeight = qMin(height, nearest.height());
    const int left =
        qBound(nearest.left(), rect->left, nearest.left() + nearest.width() - newWidth);
    const int top = qBound(nearest.top(), rect->top, nearest.top() + nearest.height() - newHeight);
    *rect = {left, top, left + newWidth, top + newHeight};
    return true;
}
