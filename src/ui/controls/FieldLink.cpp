#include "ui/controls/FieldLink.h"

#include <QScopedValueRollback>
#include <QWidget>

FieldLink::FieldLink(QWidget *control, int field, std::function<void()> refresh)
    : QObject(control), m_control(control), m_field(field), m_refresh(std::move(refresh))
{}

void FieldLink::bind(CardTable *table)
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_table = table;
    if (table) {
        m_connections << connect(table, &CardTable::currentChanged, this, &FieldLink::refresh)
                      << connect(table, &CardTable::currentContentChanged, this,
                                 &FieldLink::refresh)
                      << connect(table, &CardTable::fieldChanged, this,
                                 [this](int field) {
                                     if (field == m_field)
                                         refresh();
                                 })
                      << connect(table, &CardTable::focusFieldRequested, this,
                                 &FieldLink::takeFocus);
    }
    refresh();
}

void FieldLink::refresh()
{
    if (!m_writing && m_refresh)
        m_refresh();
}

void FieldLink::write(const std::function<void(const CardField &)> &assign)
{
    if (!m_table)
        return;
    const QScopedValueRollback<bool> writing(m_writing, true);
    if (m_table->state() == CardTable::State::Browse)
        m_table->edit();
    assign(field());
}

void FieldLink::takeFocus(int field)
{
    if (field == m_field && m_control->isVisible() && m_control->isEnabled() &&
        m_control->focusPolicy() != Qt::NoFocus)
        m_control->setFocus(Qt::OtherFocusReason);
}
