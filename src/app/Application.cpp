#include "app/Application.h"

#include "app/AppTitle.h"
#include "app/ClientLock.h"
#include "app/CommandGuard.h"
#include "app/DataModuleLifetime.h"
#include "app/ErrorBox.h"
#include "app/QtDialogs.h"
#include "app/StartupReport.h"
#include "platform/BusyCursor.h"
#include "platform/DocumentOpener.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QUrl>
#include <QWidget>
#include <memory>

namespace {

// Ends the event loop when the main window has closed, whatever other window is still open.
// The filter sees the close request before the window does, and the window may still refuse
// it: whether it closed is looked at once the request has been handled.
class QuitWhenClosed : public QObject
{
public:
    explicit QuitWhenClosed(QWidget *window) : m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Close) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_window->isVisible())
                        QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_window;
};

} // namespace

// The resource object of a static library is linked in only when something refers to it; the
// macro must stand outside any namespace.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace Application {

void prepare(QApplication &app)
{
    initIconResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/QorClient.png")));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    // Qt's own Russian texts: where Qt keeps them, or beside the program, as the Windows
    // package carries them.
    auto *translator = new QTranslator(&app);
    for (const QString &folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                  QCoreApplication::applicationDirPath() +
                                      QStringLiteral("/translations")}) {
        if (translator->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"),
                             QStringLiteral("_"), folder)) {
            app.installTranslator(translator);
            break;
        }
    }
    // The title is not set as the display name: Qt would append it to every window caption.
    QCoreApplication::setApplicationName(applicationTitle());

    static QtDialogs dialogs;
    Dialogs::install(&dialogs);
    BusyCursor::installHooks([] { QApplication::setOverrideCursor(Qt::WaitCursor); },
                             [] { QApplication::restoreOverrideCursor(); });
    DocumentOpener::install(
        [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
}

int runClient(QApplication &app, const ClientWindows &windows)
{
    ClientLock lock(windows.lockFolder);
    const ClientLock::Result locked =
        windows.lockFolder.isEmpty() ? ClientLock::Result::Unavailable : lock.acquire();
    if (locked == ClientLock::Result::HeldByAnother ||
        locked == ClientLock::Result::HeldOnAnotherComputer) {
        const QString text =
            locked == ClientLock::Result::HeldByAnother
                ? ClientLock::alreadyRunningText(windows.lockFolder)
                : ClientLock::runningElsewhereText(windows.lockFolder, lock.holderComputer());
        Dialogs::instance().message(applicationTitle(), text, Dialogs::Icon::Warning,
                                    Dialogs::Buttons::Ok);
        return 0;
    }
    createDataModule();
    std::unique_ptr<QWidget> main(windows.createMain());
    std::unique_ptr<QWidget> entry(windows.createEntry());

    main->setAttribute(Qt::WA_DeleteOnClose, false);
    QuitWhenClosed quitWhenClosed(main.get());
    main->installEventFilter(&quitWhenClosed);
    reportFirstListPaint(main.get());
    main->show();
    app.exec();

    entry.reset();
    main.reset();
    destroyDataModule();
    return 0;
}

int runInstaller(const std::function<void()> &installer)
{
    try {
        installer();
        return 0;
    } catch (const std::exception &e) {
        ErrorBox::showFatal(e);
        return 1;
    }
}

} // namespace Application
