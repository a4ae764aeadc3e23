#include "ui/controls/FieldLineEdit.h"

#include "app/CommandGuard.h"
#include "ui/controls/Cp1251Validator.h"
#include "ui/controls/FieldLink.h"

#include <QApplication>
#include <QFocusEvent>

namespace {

// Focus that moves to another window or into a popup and comes back is no visit of its own.
bool staysInWindow(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

FieldLineEdit::FieldLineEdit(int field, QWidget *parent)
    : QLineEdit(parent), m_link(new FieldLink(this, field, [this] { sync(); })),
      m_validator(new Cp1251Validator(this))
{
    const FieldDef &def = CardFields::def(field);
    if (def.type == FieldType::Text)
        setMaxLength(def.size);
    setValidator(m_validator);
    connect(this, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!runGuarded([&] { store(text); }))
            sync();
    });
}

void FieldLineEdit::bind(CardTable *table)
{
    m_link->bind(table);
}

int FieldLineEdit::fieldIndex() const
{
    return m_link->fieldIndex();
}

void FieldLineEdit::setUpperCase(bool upper)
{
    m_validator->setUpperCase(upper);
}

void FieldLineEdit::store(const QString &text)
{
    // An emptied box leaves its field without a value, so that a required field the user
    // emptied is refused when the card is posted (the empty text would pass, and the card
    // would then not read back from its meeting file).
    const bool empty = storedForm(text).isEmpty();
    m_link->write([&](const CardField &field) {
        if (empty)
            field.clear();
        else
            field.setAsString(text);
    });
}

QString FieldLineEdit::storedForm(const QString &text) const
{
    const FieldDef &def = CardFields::def(m_link->fieldIndex());
    if (def.type != FieldType::Text)
        return text;
    QString out = text.left(def.size);
    while (out.endsWith(u' '))
        out.chop(1);
    return out;
}

void FieldLineEdit::sync()
{
    const QString value = m_link->isBound() ? m_link->field().asString() : QString();
    // Still showing what the field holds, maybe with blanks the user is typing on from.
    if (storedForm(text()) == value)
        return;
    showQuietly(value);
    m_visitText = text(); // another value came under the box: the visit starts from it
}

void FieldLineEdit::showQuietly(const QString &text)
{
    // Shown as stored: only what is typed is made upper case.
    setValidator(nullptr);
    setText(text);
    setValidator(m_validator);
}

void FieldLineEdit::focusInEvent(QFocusEvent *event)
{
    if (!m_inVisit || !staysInWindow(event->reason())) {
        m_inVisit = true;
        m_visitText = text();
    }
    QLineEdit::focusInEvent(event);
}

void FieldLineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (staysInWindow(event->reason()) || !m_inVisit)
        return;
    m_inVisit = false;
    emit left(text() != m_visitText);
    // Blanks typed at the end are not stored; show the value as it is.
    if (m_link->isBound() && text() != m_link->field().asString() && !hasFocus())
        showQuietly(m_link->field().asString());
}

void FieldLineEdit::finishVisit()
{
    if (!m_inVisit)
        return;
    const bool changed = text() != m_visitText;
    m_visitText = text();
    emit left(changed);
}

void FieldLineEdit::hideEvent(QHideEvent *event)
{
    m_inVisit = false;
    QLineEdit::hideEvent(event);
}
