#include "app/BoxPlacement.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace BoxPlacement {

int captionWidth(const QWidget *window)
{
    // The title bar's font is the desktop's, often bold and a little larger than the widgets';
    // the icon and three title buttons take about five lines' height.
    QFont title = window->font();
    title.setBold(true);
    if (title.pointSizeF() > 0)
        title.setPointSizeF(title.pointSizeF() * 1.1);
    const QFontMetrics metrics(title);
    return metrics.horizontalAdvance(window->windowTitle()) + 5 * metrics.height() + 40;
}

void fitCaption(QWidget *box)
{
    // A message box fixes its width from its text when shown; a spacer across its grid is the
    // one way to widen it.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(
            new QSpacerItem(captionWidth(box), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
            grid->rowCount(), 0, 1, grid->columnCount());
}

void placeClearOf(QWidget *window, const QRect &keepClear, const QWidget *over)
{
    window->ensurePolished();
    const QSize size = window->isVisible() ? window->frameGeometry().size()
                                           : window->sizeHint().expandedTo(window->minimumSize());
    const QScreen *screen = over ? over->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), size);
    const QRect around = over ? over->frameGeometry() : room;
    QRect placed = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, around);
    // Before it is shown, a window's size is its layout's guess and its title bar is not yet
    // counted: room is left for both.
    const int titleBar =
        window->isVisible() ? 0 : window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8;
    if (placed.adjusted(0, -titleBar, 0, titleBar).intersects(keepClear)) {
        const int gap = 8;
        if (keepClear.bottom() + gap + titleBar + size.height() <= room.bottom())
            placed.moveTop(keepClear.bottom() + gap + titleBar);
        else
            placed.moveBottom(keepClear.top() - gap - titleBar);
    }
    placed.moveLeft(
        qBound(room.left(), placed.left(), qMax(room.left(), room.right() - size.width())));
    placed.moveTop(
        qBound(room.top(), placed.top(), qMax(room.top(), room.bottom() - size.height())));
    window->move(placed.topLeft());
}

} // namespace BoxPlacement
