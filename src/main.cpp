// QorClient: the card client of the certification commission, and its own installer.
#include "app/Application.h"
#include "app/KeyScript.h"
#include "app/ModeSelection.h"
#include "install/RunSetup.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "ui/entry/TfmVvod.h"
#include "ui/main/MeetingList.h"
#include "ui/main/TfmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool installer = chooseStartMode(app.arguments().mid(1),
                                           QCoreApplication::applicationFilePath()) ==
                           StartMode::Installer;
    const QString folder = FileSystem::programFolder();
    if (!installer)
        MeetingList::preloadFirst(folder); // read while the rest starts and the window is made
    Application::prepare(app);
#ifdef QOR_TEST_HOOKS
    KeyScript::start(qEnvironmentVariable("QORCLIENT_TEST_KEYS"));
    // "Now" fixed, so that the files an end-to-end test checks hold known dates and times.
    if (const QString now = qEnvironmentVariable("QORCLIENT_TEST_NOW"); !now.isEmpty())
        Clock::setFixed(QDateTime::fromString(now, Qt::ISODate));
#endif

    if (installer)
        return Application::runInstaller([] { RunSetup(); });
    return Application::runClient(app, {[folder] { return new TfmMain(folder); },
                                        [] { return new TfmVvod(fmMain); }, folder});
}
