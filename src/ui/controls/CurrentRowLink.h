#pragma once

#include <QObject>

class CardTable;
class QAbstractItemView;

// Keeps a view's current row and the card table's current card in step, both ways: the table
// moves the view, the user moves the table. A move coming back from the other side while one is
// passed on is ignored, so neither side is re-entered.
class CurrentRowLink : public QObject
{
    Q_OBJECT
public:
    CurrentRowLink(CardTable *table, QAbstractItemView *view, QObject *parent = nullptr);

    // Moves the view to the table's current card.
    void followTable();

private:
    void followView(int row);

    CardTable *m_table;
    QAbstractItemView *m_view;
    bool m_passing = false;
};
