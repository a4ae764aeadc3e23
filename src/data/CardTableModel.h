#pragma once

#include "data/CardTable.h"

#include <QAbstractTableModel>
#include <vector>

// The visible cards of a card table as an item model: one row per card in the table's order,
// one column per field in field order. The table drives it through its signals. The model keeps
// the cards of its rows by bookmark, so that between the table's signals, while the table
// suppresses view updates, and while a view handles a change, every row still shows the card
// the views were told of (or nothing, when that card is gone).
class CardTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit CardTableModel(CardTable *table, QObject *parent = nullptr);

    CardTable *table() const { return m_table; }
    // The card a row shows; 0 outside the rows.
    CardTable::Bookmark bookmarkAt(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void reload();
    void changedRows(int first, int last);

    CardTable *m_table;
    std::vector<CardTable::Bookmark> m_rows; // the cards the views were told of, in order
};
