#pragma once

#include <QLineEdit>

class CardTable;
class Cp1251Validator;
class FieldLink;

// A text box bound to a field of the current card. What the user types goes into the field at
// once (the card enters editing at the first change); the box takes its maximum length from the
// field's size and accepts only what Windows-1251 can hold. In upper-case mode every letter typed
// or pasted is shown and stored as a capital.
//
// A visit lasts from the focus coming in to the focus moving to another control of the window
// (not to another window or a popup); left() tells how it ended.
class FieldLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    FieldLineEdit(int field, QWidget *parent = nullptr);

    void bind(CardTable *table);
    int fieldIndex() const;
    void setUpperCase(bool upper);
    // Acts as if the focus left the box (left), the visit going on from the text as it is: the
    // owner checks the card with the box still focused.
    void finishVisit();

signals:
    // The focus moved on to another control; changed: the text differs from the one the box
    // showed when the visit began (or when another card came under it since).
    void left(bool changed);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void store(const QString &text);
    void sync();
    void showQuietly(const QString &text);
    // What the field would hold if the box's text were stored.
    QString storedForm(const QString &text) const;

    FieldLink *m_link;
    Cp1251Validator *m_validator;
    bool m_inVisit = false;
    QString m_visitText;
};
