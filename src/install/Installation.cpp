#include "install/Installation.h"

#include "app/AppTitle.h"
#include "app/ClientLock.h"
#include "app/ModeSelection.h"
#include "install/InstallTarget.h"
#include "platform/FileCopy.h"
#include "platform/FileSystem.h"
#include "platform/InstallPlaces.h"
#include "platform/Launcher.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The program file is copied on its own, under its installed name; so the loop leaves out its
// two names, and the running file's own name where the system does not end it in ".exe".
// The lock of a client running from the source folder stays there too: copied, it would keep
// the installed client from starting while that client runs.
bool copiedByTheLoop(const QString &name, const QString &executableName)
{
    const QString upper = asciiUpper(name);
    return upper != QLatin1String("QORCLIENT.EXE") && upper != QLatin1String("SETUP.EXE") &&
           name != executableName && name != ClientLock::fileName();
}

// The folders the Windows package keeps Qt's plugins and texts in: without "platforms" the
// installed program could not open a window. They go along; every other sub-folder stays.
const char *const kRuntimeFolders[] = {"platforms", "styles", "translations"};

void copyRuntimeFolders(const QString &source, const QString &folder)
{
    for (const char *runtime : kRuntimeFolders) {
        const QString name = QString::fromLatin1(runtime);
        if (!QFileInfo(source + name).isDir())
            continue;
        const QString from = InstallPlaces::withTrailingSeparator(source + name);
        const QString to = InstallPlaces::withTrailingSeparator(folder + name);
        QDir().mkpath(to);
        for (const QString &file : FileCopy::listVisibleFiles(from))
            FileCopy::copyAsNormal(from + file, to + file);
    }
}

// Returns the desktop folder when it is missing, and no desktop launcher was saved.
QString saveLaunchers(const QString &folder)
{
    const QString title = applicationTitle();
    Launcher launcher;
    launcher.name = title;
    launcher.targetPath = folder + InstallTarget::programFileName();
    launcher.workingFolder = folder;
    launcher.description = title;

    // An unknown special folder gets no launcher; a desktop folder that does not exist is not
    // made (the desktop would not show it), and the user hears of it.
    QString missingDesktop;
    const QString desktop = InstallPlaces::desktopFolder();
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        launcher.save(desktop + Launcher::fileName(title));
    else if (!desktop.isEmpty())
        missingDesktop = desktop;

    const QString programs = InstallPlaces::programsFolder();
    if (!programs.isEmpty()) {
        const QString group = InstallPlaces::withTrailingSeparator(
            programs + QStringLiteral("ГУЗ ВЕЛНОР") + QDir::separator() + title);
        QDir().mkpath(group);
        launcher.save(group + Launcher::fileName(title));
    }
    return missingDesktop;
}

} // namespace

namespace Installation {

QString install(const QString &folder, const QString &executablePath)
{
    // A folder that cannot be made shows at the first copy.
    QDir().mkpath(folder);
    FileCopy::copyAsNormal(executablePath, folder + InstallTarget::programFileName());

    const QFileInfo executable(executablePath);
    const QString source =
        InstallPlaces::withTrailingSeparator(QDir::toNativeSeparators(executable.absolutePath()));
    const QStringList names = FileCopy::listVisibleFiles(source);
    for (const QString &name : names) {
        if (copiedByTheLoop(name, executable.fileName()))
            FileCopy::copyAsNormal(source + name, folder + name);
    }
    copyRuntimeFolders(source, folder);

    return saveLaunchers(folder);
}

} // namespace Installation
