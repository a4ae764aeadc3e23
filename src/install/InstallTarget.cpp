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
#ifndef Q_OS_WIN
    // A desktop starts no launcher whose program lies under a "%": GLib looks the program up by
    // its escaped name ("%%") and finds none. Refused before anything is copied.
    if (folder.contains(u'%'))
        throw QorError(QStringLiteral("Из папки, в имени которой есть знак \"%\", рабочий стол не "
                                      "запустит программу.\r\nВыберите другую папку для "
                                      "установки."));
#endif
    return folder;
}

} // namespace InstallTarget
