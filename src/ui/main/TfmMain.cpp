#include "ui/main/TfmMain.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

TfmMain *fmMain = nullptr;

TfmMain::TfmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QStringLiteral("Ордана"));
    setMinimumSize(kMinimumSize);
    resize(kInitialSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, kInitialSize,
                                        screen->availableGeometry()));
    fmMain = this;
}

TfmMain::~TfmMain()
{
    if (fmMain == this)
        fmMain = nullptr;
}
