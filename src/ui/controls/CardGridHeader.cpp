#include "ui/controls/CardGridHeader.h"

#include <QHelpEvent>
#include <QStyleOptionHeader>
#include <QToolTip>

CardGridHeader::CardGridHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setSectionsMovable(true);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setStretchLastSection(false);
    setTextElideMode(Qt::ElideRight);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CardGridHeader::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    // One marker only, and always the small downward triangle: the list sorts ascending only.
    option->sortIndicator =
        hasSortMarker(logicalIndex) ? QStyleOptionHeader::SortDown : QStyleOptionHeader::None;
    option->text = fontMetrics().elidedText(option->text, Qt::ElideRight, titleRoom(logicalIndex));
}

int CardGridHeader::titleRoom(int logicalIndex) const
{
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    int room = sectionSize(logicalIndex) - 2 * margin;
    if (hasSortMarker(logicalIndex))
        room -= style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, this) + margin;
    return room;
}

bool CardGridHeader::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip || !model())
        return QHeaderView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const int logical = logicalIndexAt(help->pos());
    if (logical >= 0) {
        const QString title = model()->headerData(logical, orientation()).toString();
        if (fontMetrics().horizontalAdvance(title) > titleRoom(logical)) {
            const QRect section(sectionViewportPosition(logical), 0, sectionSize(logical),
                                height());
            QToolTip::showText(help->globalPos(), title, viewport(), section);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}
