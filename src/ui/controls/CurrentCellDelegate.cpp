#include "ui/controls/CurrentCellDelegate.h"

#include <QAbstractItemView>

CurrentCellDelegate::CurrentCellDelegate(QAbstractItemView *view)
    : QStyledItemDelegate(view), m_view(view)
{}

QColor CurrentCellDelegate::currentCellColor(const QColor &highlight)
{
    // Deeper than the row, or lighter where the highlight is already dark.
    return highlight.lightness() > 90 ? highlight.darker(150) : highlight.lighter(170);
}

void CurrentCellDelegate::initStyleOption(QStyleOptionViewItem *option,
                                          const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index != m_view->currentIndex() || !(option->state & QStyle::State_Selected))
        return;
    // Painted as an unselected cell with a background of its own: every style draws that
    // background, whatever it does with the selection of an active or inactive window.
    const QPalette::ColorGroup group =
        option->state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    option->state &= ~QStyle::State_Selected;
    option->backgroundBrush = currentCellColor(option->palette.color(group, QPalette::Highlight));
    const QColor text = option->palette.color(group, QPalette::HighlightedText);
    option->palette.setColor(QPalette::Text, text);
}
