#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

// Paints the current cell of a row-selecting view on top of its highlighted row, in a deeper
// shade of the highlight, so the current column (which Left and Right move, and which the find
// dialog starts from) can be seen. Everything else is painted as the style does.
class CurrentCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit CurrentCellDelegate(QAbstractItemView *view);

    // The colour of the current cell over a row in the highlight colour highlight.
    static QColor currentCellColor(const QColor &highlight);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    QAbstractItemView *m_view;
};
