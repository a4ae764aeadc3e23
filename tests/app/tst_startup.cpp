#include "app/Application.h"
#include "app/ClientLock.h"
#include "app/ErrorBox.h"
#include "app/ModeSelection.h"
#include "data/TDM1.h"
#include "platform/QorError.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLocale>
#include <QLockFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>
#endif

Q_DECLARE_METATYPE(ClientLock::Result)

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }

    void modeSelection_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("executable");
        QTest::addColumn<bool>("installer");
        const QString client = QStringLiteral("/opt/qor/QorClient.exe");
        QTest::newRow("no arguments") << QStringList{} << client << false;
        QTest::newRow("SETUP") << QStringList{"SETUP"} << client << true;
        QTest::newRow("setup") << QStringList{"setup"} << client << true;
        QTest::newRow("SeTuP, more arguments") << QStringList{"SeTuP", "x"} << client << true;
        QTest::newRow("second argument only") << QStringList{"x", "SETUP"} << client << false;
        QTest::newRow("leading slash") << QStringList{"/SETUP"} << client << false;
        QTest::newRow("with extension") << QStringList{"SETUP.EXE"} << client << false;
        QTest::newRow("trailing blank") << QStringList{"SETUP "} << client << false;
        QTest::newRow("Cyrillic С is no ASCII letter") << QStringList{"SЕTUP"} << client << false;
        QTest::newRow("executable SETUP.EXE") << QStringList{} << "/tmp/SETUP.EXE" << true;
        QTest::newRow("executable setup.exe") << QStringList{} << "C:/a/setup.exe" << true;
        QTest::newRow("executable Setup.Exe, client argument")
            << QStringList{"other"} << "/x/Setup.Exe" << true;
        QTest::newRow("executable setup") << QStringList{} << "/x/setup" << false;
        QTest::newRow("executable mysetup.exe") << QStringList{} << "/x/mysetup.exe" << false;
        QTest::newRow("folder named SETUP.EXE") << QStringList{} << "/SETUP.EXE/QorClient" << false;
    }

    void modeSelection()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, executable);
        QFETCH(bool, installer);
        QCOMPARE(chooseStartMode(arguments, executable) == StartMode::Installer, installer);
    }

    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Файл не найден"
                                << "Файл не найден.";
        QTest::newRow("digit") << "Ошибка ввода/вывода 32"
                               << "Ошибка ввода/вывода 32.";
        QTest::newRow("exclamation") << "Сначала добавьте заседание!"
                                     << "Сначала добавьте заседание!";
        QTest::newRow("full stop") << "Готово."
                                   << "Готово.";
        QTest::newRow("quote") << "Файл \"a\""
                               << "Файл \"a\"";
        QTest::newRow("blank") << "a "
                               << "a ";
        QTest::newRow("slash sorts after") << "a/"
                                           << "a/.";
        QTest::newRow("closing bracket") << "a)"
                                         << "a)";
        QTest::newRow("empty") << ""
                               << "";
    }

    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorBox::withFullStop(message), shown);
    }

    void standardAndFatalBoxes()
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage();
        ErrorBox::showStandard(QStringLiteral("Поле 'Имя' должно иметь значение"));
        QCOMPARE(dialogs.log().at(0).caption, QStringLiteral("Ордана 2017"));
        QCOMPARE(dialogs.log().at(0).text, QStringLiteral("Поле 'Имя' должно иметь значение."));
        QCOMPARE(dialogs.log().at(0).icon, Dialogs::Icon::Error);
        dialogs.verifyDone();

        QCOMPARE(ErrorBox::fatalText(QStringLiteral("EInOutError"), QStringLiteral("SETUP.EXE"),
                                     0x4A2B3C, QStringLiteral("Диск полон")),
                 QStringLiteral("Исключительная ситуация EInOutError в модуле SETUP.EXE по адресу "
                                "004A2B3C.\r\nДиск полон.\r\n"));
        dialogs.expectMessage();
        QCOMPARE(Application::runInstaller([] { throw QorError(QStringLiteral("Сбой.")); }), 1);
        QCOMPARE(dialogs.log().at(0).caption, QStringLiteral("Ошибка приложения"));
        QVERIFY(dialogs.log().at(0).text.endsWith(QStringLiteral("\r\nСбой.\r\n")));
        dialogs.verifyDone();
        QCOMPARE(Application::runInstaller([] {}), 0);
    }

    void russianForTheWholeProgram()
    {
        Application::prepare(*qApp);
        QCOMPARE(QLocale().language(), QLocale::Russian);
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Ордана 2017"));
        // Qt's own translation gives the standard buttons their Russian texts.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes").remove(u'&'),
                 QStringLiteral("Да"));
        Dialogs::install(nullptr);
    }

    // The client creates the data module, then the main window and the entry form, and
    // destroys them in reverse when the main window has closed.
    void clientLifecycle()
    {
        QStringList events;
        QMainWindow *mainWindow = nullptr;
        Application::ClientWindows windows{
            [&]() -> QWidget * {
                events << (DM1 ? "main after DM1" : "main without DM1");
                mainWindow = new QMainWindow;
                QObject::connect(mainWindow, &QObject::destroyed, [&] { events << "main gone"; });
                QTimer::singleShot(0, mainWindow, [&] { mainWindow->close(); });
                return mainWindow;
            },
            [&]() -> QWidget * {
                events << "entry";
                auto *entry = new QWidget;
                QObject::connect(entry, &QObject::destroyed,
                                 [&] { events << (DM1 ? "entry gone, DM1 alive" : "entry gone"); });
                return entry;
            }};
        QCOMPARE(Application::runClient(*qApp, windows), 0);
        QCOMPARE(events,
                 (QStringList{"main after DM1", "entry", "entry gone, DM1 alive", "main gone"}));
        QVERIFY(!DM1);
    }

    // A main window that refuses to close keeps the program running; it ends when the window
    // really closes.
    void refusedCloseKeepsRunning()
    {
        class Stubborn : public QMainWindow
        {
        public:
            int refusals = 1;

        protected:
            void closeEvent(QCloseEvent *event) override
            {
                if (refusals-- > 0)
                    event->ignore();
            }
        };
        Stubborn *window = nullptr;
        bool stillRunning = false;
        Application::runClient(*qApp, {[&]() -> QWidget * {
                                           window = new Stubborn;
                                           QTimer::singleShot(0, window, [&] { window->close(); });
                                           QTimer::singleShot(100, window, [&] {
                                               stillRunning = window->isVisible();
                                               window->close();
                                           });
                                           return window;
                                       },
                                       [] { return new QWidget; }});
        QVERIFY(stillRunning);
    }

    // The remembered defaults survive a run: loaded when the data module is created, saved
    // when it is destroyed, also when no meeting exists.
    void defaultsSavedAtExitAndLoadedAtStart()
    {
        const auto closeAtOnce = []() -> QWidget * {
            auto *w = new QMainWindow;
            QTimer::singleShot(0, w, [w] { w->close(); });
            return w;
        };
        const auto hidden = []() -> QWidget * { return new QWidget; };
        bool changed = false;
        Application::runClient(
            *qApp, {[&]() -> QWidget * {
                        DM1->defaults().setValue(QStringLiteral("@LPU"), QStringLiteral("84\t"));
                        DM1->defaults().setValue(QStringLiteral("@PODKOM"), QStringLiteral("404"));
                        changed = true;
                        return closeAtOnce();
                    },
                    hidden});
        QVERIFY(changed);
        QString seen;
        Application::runClient(*qApp, {[&]() -> QWidget * {
                                           seen = DM1->defaults().lines().join(u'|');
                                           return closeAtOnce();
                                       },
                                       hidden});
        QCOMPARE(seen, QStringLiteral("@LPU=84\t|@PODKOM=404"));
    }

    // A store that cannot be read is shown in the error box; the client still opens.
    void damagedStoreStillOpensTheClient()
    {
#ifdef Q_OS_WIN
        QSKIP("a damaged settings file: Windows keeps the settings in the registry");
#endif
        const QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
        // A folder stands where the store file must be.
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("QorClient/HKEY_CURRENT_USER.ini"))));
        ScriptedDialogs dialogs;
        dialogs.expectMessage(); // loading the defaults
        dialogs.expectMessage(); // saving them
        bool opened = false;
        Application::runClient(*qApp, {[&]() -> QWidget * {
                                           opened = true;
                                           auto *w = new QMainWindow;
                                           QTimer::singleShot(0, w, [w] { w->close(); });
                                           return w;
                                       },
                                       [] { return new QWidget; }});
        QVERIFY(opened);
        QCOMPARE(dialogs.log().size(), 2);
        QCOMPARE(dialogs.log().at(0).caption, QStringLiteral("Ордана 2017"));
        dialogs.verifyDone();
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    }

    // A second client on the same program folder says so and ends without a window; the lock
    // of a client that crashed is taken over; a folder without room for a lock starts anyway.
    void oneClientPerProgramFolder()
    {
        QTemporaryDir folder;
        ClientLock first(folder.path());
        QCOMPARE(first.acquire(), ClientLock::Result::Locked);
        ScriptedDialogs dialogs;
        dialogs.expectMessage();
        bool created = false;
        const auto window = [&]() -> QWidget * {
            created = true;
            return new QWidget;
        };
        QCOMPARE(Application::runClient(*qApp, {window, window, folder.path()}), 0);
        QVERIFY(!created);
        QCOMPARE(dialogs.log().at(0).caption, QStringLiteral("Ордана 2017"));
        QCOMPARE(dialogs.log().at(0).text, ClientLock::alreadyRunningText(folder.path()));
        dialogs.verifyDone();

#ifdef Q_OS_UNIX
        QTemporaryDir crashed;
        const pid_t child = fork();
        if (child == 0) {
            QLockFile lock(crashed.filePath(ClientLock::fileName()));
            _exit(lock.tryLock(0) ? 0 : 1); // ends holding the lock, as a crash would
        }
        int status = -1;
        QCOMPARE(waitpid(child, &status, 0), child);
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(QFile::exists(crashed.filePath(ClientLock::fileName())));
        QCOMPARE(ClientLock(crashed.path()).acquire(), ClientLock::Result::Locked);
#endif

        QTemporaryDir blocked;
        QVERIFY(QFile(blocked.filePath("file")).open(QIODevice::WriteOnly));
        QCOMPARE(ClientLock(blocked.filePath("file")).acquire(), ClientLock::Result::Unavailable);
    }

    // What a shared folder may hold under the lock's name: only a live client's lock on this
    // computer refuses the start; one of another computer is named; the rest is taken over.
    void oddLockFiles_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<ClientLock::Result>("result");
        QTest::newRow("empty") << "empty" << ClientLock::Result::Locked;
        QTest::newRow("random bytes") << "random" << ClientLock::Result::Locked;
        QTest::newRow("another computer") << "host" << ClientLock::Result::HeldOnAnotherComputer;
        QTest::newRow("a folder: no lock, the client starts")
            << "folder" << ClientLock::Result::Unavailable;
#ifdef Q_OS_UNIX
        QTest::newRow("dangling link") << "link" << ClientLock::Result::Locked;
        QTest::newRow("FIFO") << "fifo" << ClientLock::Result::Locked;
#endif
    }
    void oddLockFiles()
    {
        QFETCH(QString, what);
        QFETCH(ClientLock::Result, result);
        QTemporaryDir folder;
        const QString lock = folder.filePath(ClientLock::fileName());
        QFile file(lock);
        if (what == QLatin1String("empty") || what == QLatin1String("random") ||
            what == QLatin1String("host")) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (what == QLatin1String("random"))
                file.write(QByteArray(200, '\x9c'));
            else if (what == QLatin1String("host"))
                file.write("4242\nQorClient\nregistratura-2\n");
            file.close();
        } else if (what == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(lock));
        }
#ifdef Q_OS_UNIX
        else if (what == QLatin1String("link"))
            QVERIFY(QFile::link(folder.filePath("gone"), lock));
        else if (what == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
#endif
        ClientLock client(folder.path());
        QCOMPARE(client.acquire(), result);
        if (result == ClientLock::Result::HeldOnAnotherComputer) {
            QCOMPARE(client.holderComputer(), QStringLiteral("registratura-2"));
            QVERIFY(ClientLock::runningElsewhereText(folder.path(), client.holderComputer())
                        .contains(QStringLiteral("\"registratura-2\"")));
        }
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
