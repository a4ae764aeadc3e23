#pragma once

#include <QAbstractTableModel>

class CardTable;

// The visible cards of a card table as an item model: one row per card in the table's order,
// one column per field in field order. The table drives it through its signals; while the
// table suppresses view updates the model keeps the row count it last announced.
class CardTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit CardTableModel(CardTable *table, QObject *parent = nullptr);

    CardTable *table() const { return m_table; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The field name of a column, for views that address columns by field.
    static QString fieldName(int column);

private:
    CardTable *m_table;
    int m_rows = 0; // the count the views were last told
};
