#include "install/InstallTarget.h"

#include "platform/FileSystem.h"
#include "platform/InstallPlaces.h"
#include "platform/QorError.h"

namespace InstallTarget {

QString checkedFolder(const QString &typed)
{
    if (InstallPlaces::trimmed(typed).isEmpty())
        throw QorError(QStringLiteral("Укажите папку для установки программы!"));
    const QString folder = InstallPlaces::absoluteFolder(typed);
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity sameName = Qt::CaseInsensitive; // one folder however it is spelled
#else
    const Qt::CaseSensitivity sameName = Qt::CaseSensitive;
#endif
    if (folder.chopped(1).compare(InstallPlaces::earlierTargetFolder(), sameName) == 0 &&
        FileSystem::fileExists(folder + programFileName()))
        throw QorError(QStringLiteral("Программа Ордана уже установлена в папке \"%1\"!\r\n"
                                      "Вам необходимо выбрать другую папку для установки.")
                           .arg(folder));
    return folder;
}

} // namespace InstallTarget
