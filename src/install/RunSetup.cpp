#include "install/RunSetup.h"

#include "app/settings/ObrSoc.h"
#include "install/Installation.h"
#include "install/TfmInstall.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/InstallPlaces.h"

#include <QCoreApplication>
#include <QDir>

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
    const QString missingDesktop =
        Installation::install(InstallPlaces::absoluteFolder(folder), executablePath);

    QString done = QStringLiteral("Установка успешно завершена.");
    if (!missingDesktop.isEmpty())
        done += QStringLiteral("\r\nЯрлык на рабочем столе не создан: папки рабочего стола "
                               "\"%1\" нет. Программу можно запустить из меню.")
                    .arg(QDir::toNativeSeparators(missingDesktop));
    Dialogs::instance().messageOnTop(QStringLiteral("Ордана 2011"), done,
                                     Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}
