#include "data/CardTableModel.h"

#include "data/CardTable.h"

CardTableModel::CardTableModel(CardTable *table, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_rows(table->count())
{
    connect(table, &CardTable::rowsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertRows(QModelIndex(), first, last); });
    connect(table, &CardTable::rowsInserted, this, [this](int, int) {
        m_rows = m_table->count();
        endInsertRows();
    });
    connect(table, &CardTable::rowsAboutToBeRemoved, this,
            [this](int first, int last) { beginRemoveRows(QModelIndex(), first, last); });
    connect(table, &CardTable::rowsRemoved, this, [this](int, int) {
        m_rows = m_table->count();
        endRemoveRows();
    });
    connect(table, &CardTable::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
    connect(table, &CardTable::allRowsChanged, this, [this] {
        if (m_rows > 0)
            emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
    });
    connect(table, &CardTable::viewAboutToBeReset, this, [this] { beginResetModel(); });
    connect(table, &CardTable::viewReset, this, [this] {
        m_rows = m_table->count();
        endResetModel();
    });
}

int CardTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int CardTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CardFields::Count;
}

QVariant CardTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    // While the table is suppressed its rows may differ from what the views were told.
    if (index.row() >= m_table->count())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_table->text(index.row(), index.column());
    default:
        return QVariant();
    }
}

QVariant CardTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= CardFields::Count)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return CardFields::def(section).labelText();
    return QVariant();
}

QString CardTableModel::fieldName(int column)
{
    return CardFields::def(column).nameText();
}
