#pragma once

#include "data/CardTable.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

// Ties a control to one field of the table's current card. The control hears when the value it
// shows may have changed (another card, the card's content, its own field), and writes what the
// user enters through write(), which starts editing first. A post refused for a missing value
// gives the focus to the bound control of that field that is showing.
class FieldLink : public QObject
{
    Q_OBJECT
public:
    // refresh: shows the field's value in the control.
    FieldLink(QWidget *control, int field, std::function<void()> refresh);

    // Follows table from now on (null: none) and shows its current card at once.
    void bind(CardTable *table);
    CardTable *table() const { return m_table; }
    bool isBound() const { return m_table != nullptr; }
    int fieldIndex() const { return m_field; }
    // The field of the current card; only while bound.
    CardField field() const { return m_table->field(m_field); }

    // Puts a browsed card into edit state, then runs assign. The control is not refreshed by
    // its own write: what the user is typing stays as typed.
    void write(const std::function<void(const CardField &)> &assign);
    bool isWriting() const { return m_writing; }

private:
    void refresh();
    void takeFocus(int field);

    QWidget *m_control;
    int m_field;
    std::function<void()> m_refresh;
    QPointer<CardTable> m_table;
    QList<QMetaObject::Connection> m_connections;
    bool m_writing = false;
};
