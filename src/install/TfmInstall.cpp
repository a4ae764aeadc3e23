#include "install/TfmInstall.h"

#include "app/AppTitle.h"
#include "app/CommandGuard.h"
#include "install/InstallTarget.h"
#include "platform/InstallPlaces.h"
#include "ui/controls/DirectoryEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

TfmInstall::TfmInstall(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      DirectoryEdit1(new DirectoryEdit(this)), chbObrSoc(new QCheckBox(this)),
      Label1(new QLabel(this)), btnOK(new QPushButton(this)), btnCancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("fmInstall"));
    setWindowTitle(applicationTitle());
    setWindowIcon(QApplication::windowIcon().isNull()
                      ? style()->standardIcon(QStyle::SP_DriveHDIcon)
                      : QApplication::windowIcon());

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setText(QStringLiteral("Укажите папку для установки программы:"));
    Label1->setBuddy(DirectoryEdit1);
    DirectoryEdit1->setObjectName(QStringLiteral("DirectoryEdit1"));
    DirectoryEdit1->setInitialFolder(InstallPlaces::defaultTargetFolder());
    DirectoryEdit1->setDialogTitle(QStringLiteral("Выберите папку для установки программы"));
    chbObrSoc->setObjectName(QStringLiteral("chbObrSoc"));
    chbObrSoc->setText(QStringLiteral("Версия для учреждений образования и социальной сферы"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setText(QStringLiteral("OK"));
    btnOK->setDefault(true);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setText(QStringLiteral("Отмена"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(DirectoryEdit1);
    layout->addWidget(chbObrSoc);
    layout->addStretch();
    layout->addLayout(buttons);

    setTabOrder(DirectoryEdit1, chbObrSoc);
    setTabOrder(chbObrSoc, btnOK);
    setTabOrder(btnOK, btnCancel);
    DirectoryEdit1->setFocus();

    connect(btnOK, &QPushButton::clicked, this, &TfmInstall::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    // The designed size, unless the desktop's font needs more room.
    setFixedSize(kClientSize.expandedTo(sizeHint()));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
}

void TfmInstall::btnOKClick()
{
    runGuarded([this] {
        InstallTarget::checkedFolder(DirectoryEdit1->text());
        m_Accepted = true;
        accept();
    });
}

void ShowInstallDialog(QString &variant, QString &folder)
{
    TfmInstall fmInstall;
    fmInstall.chbObrSoc->setChecked(variant == QLatin1String("+"));
    fmInstall.exec();
    if (fmInstall.Accepted()) {
        variant = fmInstall.chbObrSoc->isChecked() ? QStringLiteral("+") : QStringLiteral("-");
        folder = fmInstall.DirectoryEdit1->text();
    } else {
        folder.clear();
    }
}
