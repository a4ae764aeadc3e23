#pragma once

#include "ui/controls/LookupComboBox.h"

class CardTable;
class FieldLink;

// A list box with key codes bound to a field of the current card: it shows the text of the
// field's key (nothing when the key is not in its list) and stores the key the user chooses.
// Delete empties it only when the field need not have a value.
class FieldComboBox : public LookupComboBox
{
    Q_OBJECT
public:
    FieldComboBox(int field, QWidget *parent = nullptr);

    void bind(CardTable *table);
    // The entries of list; the field's key is looked up in it again.
    void setFieldList(const ReferenceList *list);
    int fieldIndex() const;
    // The text the box shows.
    QString shownText() const { return m_shown; }

signals:
    // The text the box shows changed: the user chose another entry, or the card under the box
    // changed. Sent once the field holds the new key.
    void shownTextChanged(const QString &text);

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    void store(const QString &key);
    void sync();

    FieldLink *m_link;
    QString m_shown;
};
