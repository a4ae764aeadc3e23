#include "output/AboutManual.h"

#include "platform/DocumentOpener.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

QString AboutText(const std::optional<VersionInfo> &info)
{
    if (!info)
        return QStringLiteral("\r\n");
    return QStringLiteral("Программа \"%1\" версия %2\r\n%3")
        .arg(info->stringEntry(QStringLiteral("ProductName")), info->fileVersion(),
             info->stringEntry(QStringLiteral("LegalCopyright")));
}

void ShowAbout(Dialogs &dialogs)
{
    dialogs.message(QStringLiteral("О программе"), AboutText(VersionInfo::ofRunningExecutable()),
                    Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

QString ManualPath(const QString &programFolder)
{
    return FileSystem::joinPath(programFolder, QStringLiteral("Руководство.doc"));
}

void OpenManual(const QString &programFolder)
{
    const QString path = ManualPath(programFolder);
    if (!FileSystem::fileExists(path))
        throw QorError(QStringLiteral("Файл \"%1\" не найден !").arg(path));
    DocumentOpener::open(path);
}
