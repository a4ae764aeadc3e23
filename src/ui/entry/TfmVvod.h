#pragma once

#include <QDialog>

// The card entry form: a modal dialog over the main window, created hidden at start-up.
class TfmVvod : public QDialog
{
    Q_OBJECT
public:
    explicit TfmVvod(QWidget *parent = nullptr);
    ~TfmVvod() override;

    // Shows the form modally on the current card (newCard false) or on a new one; returns when
    // it has closed.
    void openCard(bool newCard);
};

// The process-wide entry form; null outside client mode.
extern TfmVvod *fmVvod;
