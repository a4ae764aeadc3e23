#include "platform/InstallPlaces.h"

#include <QDir>
#include <QStandardPaths>

namespace {

#ifndef Q_OS_WIN
QString inHome(const QString &relative)
{
    return QDir::toNativeSeparators(QDir::homePath() + u'/' + relative);
}
#endif

QString folderOrEmpty(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location);
    return folder.isEmpty()
               ? folder
               : InstallPlaces::withTrailingSeparator(QDir::toNativeSeparators(folder));
}

} // namespace

namespace InstallPlaces {

QString defaultTargetFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\VELNOR\\QorClient2017");
#else
    return inHome(QStringLiteral("VELNOR/QorClient2017"));
#endif
}

QString earlierTargetFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\VELNOR\\QorClient");
#else
    return inHome(QStringLiteral("VELNOR/QorClient"));
#endif
}

QString withTrailingSeparator(const QString &folder)
{
#ifdef Q_OS_WIN
    const bool driveLetter = folder.size() <= 2 && !folder.isEmpty() && folder.at(0).isLetter() &&
                             folder.at(0).unicode() < 128 &&
                             (folder.size() == 1 || folder.at(1) == u':');
    if (driveLetter)
        return folder.left(1) + QStringLiteral(":\\");
    if (folder.endsWith(u'\\') || folder.endsWith(u':'))
        return folder;
    return folder + u'\\';
#else
    return folder.endsWith(u'/') ? folder : folder + u'/';
#endif
}

QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

QString absoluteFolder(const QString &typed)
{
    QString folder = trimmed(typed);
#ifdef Q_OS_WIN
    if (folder.size() <= 2 && withTrailingSeparator(folder).endsWith(QStringLiteral(":\\")))
        return withTrailingSeparator(folder); // a bare drive letter: that drive's root
#else
    if (folder == QStringLiteral("~") || folder.startsWith(QStringLiteral("~/")))
        folder = QDir::homePath() + folder.mid(1);
#endif
    folder = QDir::cleanPath(QDir::current().absoluteFilePath(folder));
    return withTrailingSeparator(QDir::toNativeSeparators(folder));
}

QString rootFolder()
{
    return QDir::toNativeSeparators(QDir::rootPath());
}

QString desktopFolder()
{
    return folderOrEmpty(QStandardPaths::DesktopLocation);
}

QString programsFolder()
{
    return folderOrEmpty(QStandardPaths::ApplicationsLocation);
}

} // namespace InstallPlaces
