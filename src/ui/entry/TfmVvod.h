#pragma once

#include "ui/entry/EntryLayout.h"

#include <QDialog>

class CardTable;
class FieldLineEdit;
class TDM1;

// The card entry form: a modal dialog over the main window, created once at start-up and
// reused. It works on the current card of the data module's card table: new cards are appended
// and pre-filled from the remembered defaults, existing ones edited in place; the card check
// runs before a card is posted, which saves the meeting. Whatever fails leaves the form open on
// the same card with everything typed.
class TfmVvod : public QDialog
{
    Q_OBJECT
public:
    explicit TfmVvod(QWidget *parent = nullptr);
    ~TfmVvod() override;

    // Shows the form modally on the current card (newCard false) or on new cards; returns when
    // it has closed, the pending change cancelled and the list's filter restored.
    void openCard(bool newCard);

protected:
    void closeEvent(QCloseEvent *event) override;
    // Esc does not close the form; Enter presses the focused button only.
    void keyPressEvent(QKeyEvent *event) override;

private:
    TDM1 &dm() const;
    CardTable &table() const;
    void bindControls(CardTable *table);
    void finishOpening();

    // Preparing the card now current, or a new one in new-card mode.
    void NextRec();
    // The card check: obsolete entries, then the post; throws what fails.
    void finishTyping();
    void Proverka();
    void btnApplyClick();
    void btnNextPriorClick(bool next);
    bool mayClose();

    // The entry rules of the boxes.
    void nameBoxLeft(FieldLineEdit *box, int copyField, bool changed);
    void copyBoxLeft(FieldLineEdit *box);
    void lcbPODKOMChange(const QString &text);
    void cbSPECSelect();
    void btnLPUClick();
    void btnJOBClick();
    void startEditing();

    void setModified(bool modified);
    void onStateChanged();
    void focusFirstBox();

    EntryControls m_ui;
    bool m_newMode = false;       // opened by "Создать"
    bool m_newCard = false;       // the card shown was created here and not yet applied
    bool m_watchArmed = false;    // the next edit of the card sets the modified indicator
    bool m_couplingArmed = false; // a change of the subcommission sets the card type
    QString m_savedFilter;
    QMetaObject::Connection m_watch;
};

// The process-wide entry form; null outside client mode.
extern TfmVvod *fmVvod;
