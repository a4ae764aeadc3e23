#include "data/CardTableModel.h"

CardTableModel::CardTableModel(CardTable *table, QObject *parent)
    : QAbstractTableModel(parent), m_table(table)
{
    reload();
    connect(table, &CardTable::rowInserted, this, [this](int row) {
        beginInsertRows(QModelIndex(), row, row);
        m_rows.insert(m_rows.begin() + row, m_table->bookmarkAt(row));
        endInsertRows();
    });
    connect(table, &CardTable::rowRemoved, this, [this](int row) {
        beginRemoveRows(QModelIndex(), row, row);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
    });
    connect(table, &CardTable::rowMoved, this, [this](int from, int to) {
        // Qt counts the destination before the move: one past the target when moving down.
        beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
        const CardTable::Bookmark card = m_rows[size_t(from)];
        m_rows.erase(m_rows.begin() + from);
        m_rows.insert(m_rows.begin() + to, card);
        endMoveRows();
        changedRows(to, to);
    });
    connect(table, &CardTable::rowChanged, this, [this](int row) { changedRows(row, row); });
    connect(table, &CardTable::allRowsChanged, this,
            [this] { changedRows(0, int(m_rows.size()) - 1); });
    connect(table, &CardTable::viewReset, this, [this] {
        beginResetModel();
        reload();
        endResetModel();
    });
}

void CardTableModel::reload()
{
    m_rows.resize(size_t(m_table->count()));
    for (int row = 0; row < m_table->count(); ++row)
        m_rows[size_t(row)] = m_table->bookmarkAt(row);
}

void CardTableModel::changedRows(int first, int last)
{
    if (first <= last)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

CardTable::Bookmark CardTableModel::bookmarkAt(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[size_t(row)] : 0;
}

int CardTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CardTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CardFields::Count;
}

QVariant CardTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    const CardRecord *card = m_table->recordOf(m_rows[size_t(index.row())]);
    return card ? QVariant(m_table->text(*card, index.column())) : QVariant();
}

QVariant CardTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= CardFields::Count)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return CardFields::def(section).labelText();
    return QVariant();
}
