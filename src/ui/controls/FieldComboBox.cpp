#include "ui/controls/FieldComboBox.h"

#include "app/CommandGuard.h"
#include "ui/controls/FieldLink.h"

#include <QWheelEvent>

FieldComboBox::FieldComboBox(int field, QWidget *parent)
    : LookupComboBox(parent), m_link(new FieldLink(this, field, [this] { sync(); }))
{
    setClearable(!CardFields::def(field).required);
    connect(this, &LookupComboBox::keyChosen, this, [this](const QString &key) {
        runGuarded([&] { store(key); });
        sync(); // shows what the field holds now, also when storing failed
    });
}

void FieldComboBox::wheelEvent(QWheelEvent *event)
{
    // Scrolling over the form changes no card: the wheel chooses only in the box being edited.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    LookupComboBox::wheelEvent(event);
}

void FieldComboBox::bind(CardTable *table)
{
    m_link->bind(table);
}

void FieldComboBox::setFieldList(const ReferenceList *newList)
{
    if (newList == list())
        return;
    setList(newList);
    sync();
}

int FieldComboBox::fieldIndex() const
{
    return m_link->fieldIndex();
}

void FieldComboBox::store(const QString &key)
{
    m_link->write([&key](const CardField &field) {
        if (key.isEmpty())
            field.clear();
        else
            field.setAsString(key); // an integer field reads the key's digits
    });
}

void FieldComboBox::sync()
{
    setKey(m_link->isBound() ? m_link->field().asString() : QString());
    const QString shown = currentIndex() >= 0 ? itemText(currentIndex()) : QString();
    if (shown == m_shown)
        return;
    m_shown = shown;
    emit shownTextChanged(shown);
}
