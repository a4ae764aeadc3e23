#include "ui/entry/TfmVvod.h"

TfmVvod *fmVvod = nullptr;

TfmVvod::TfmVvod(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmVvod"));
    setWindowTitle(QStringLiteral("Ввод"));
    setModal(true);
    fmVvod = this;
}

TfmVvod::~TfmVvod()
{
    if (fmVvod == this)
        fmVvod = nullptr;
}

void TfmVvod::openCard(bool newCard)
{
    Q_UNUSED(newCard);
    exec();
}
