#include "install/RunSetup.h"

#include "app/settings/ObrSoc.h"
#include "install/Installation.h"
#include "install/TfmInstall.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/InstallPlaces.h"

#include <QCoreApplication>

void RunSetup()
{
    RunSetup(QCoreApplication::applicationFilePath());
}

void RunSetup(const QString &executablePath)
{
    // The busy pointer stays on over the dialog and every later step.
    BusyCursor busy;
    QString variant = readObrSoc();
    QString folder;
    ShowInstallDialog(variant, folder);
    if (InstallPlaces::trimmed(folder).isEmpty())
        return; // cancelled: nothing written

    writeObrSoc(variant == QLatin1String("+") ? Variant::EducationSocial : Variant::Normal);
    Installation::install(InstallPlaces::absoluteFolder(folder), executablePath);

    Dialogs::instance().messageOnTop(QStringLiteral("Ордана 2011"),
                                     QStringLiteral("Установка успешно завершена."),
                                     Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}
