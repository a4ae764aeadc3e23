#include "app/Application.h"
#include "app/settings/ObrSoc.h"
#include "app/settings/SettingsStore.h"
#include "install/RunSetup.h"
#include "install/TfmInstall.h"
#include "platform/BusyCursor.h"
#include "platform/IniRegistry.h"
#include "platform/InstallPlaces.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"
#include "ui/controls/DirectoryEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace TestFiles;

namespace {

const QString kTitle = QStringLiteral("Ордана 2017");
const QString kEntryName = QStringLiteral("Ордана 2017.desktop");

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

constexpr QFile::Permissions kReadOnly = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup;
constexpr QFile::Permissions kProgram = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// The folder a program is installed from: the program file and what lies beside it.
struct SourceFolder
{
    QTemporaryDir dir;
    QString program;

    explicit SourceFolder(const QString &programName = QStringLiteral("SETUP.EXE"))
        : program(dir.filePath(programName))
    {
        put(program, "new program", kProgram);
        put(dir.filePath(QStringLiteral("Руководство.doc")), "manual", kReadOnly);
        put(dir.filePath(QStringLiteral("2017-1.dat")), "cards");
    }
    QString file(const QString &name) const { return dir.filePath(name); }
};

// Runs action on the installer dialog from inside its exec().
void onDialog(const std::function<void(TfmInstall &)> &action)
{
    QTimer::singleShot(0, qApp, [action] {
        auto *dialog = qobject_cast<TfmInstall *>(QApplication::activeModalWidget());
        if (!dialog) {
            QTest::qFail("the installer dialog is not open", __FILE__, __LINE__);
            return;
        }
        action(*dialog);
    });
}

void press(TfmInstall &dialog, const char *button)
{
    dialog.findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

// Types the folder and presses "OK".
void answer(const QString &folder)
{
    onDialog([folder](TfmInstall &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("DirectoryEdit1"))->setText(folder);
        press(dialog, "btnOK");
    });
}

#ifdef Q_OS_WIN
// Windows has one desktop and one Start menu per user, wherever the home is.
QString desktopEntry(const TestEnvironment::TemporaryHome &)
{
    return InstallPlaces::desktopFolder() + QStringLiteral("Ордана 2017.lnk");
}

QString menuEntry(const TestEnvironment::TemporaryHome &)
{
    return InstallPlaces::programsFolder() + QStringLiteral("ГУЗ ВЕЛНОР\\Ордана 2017\\Ордана 2017.lnk");
}
#else
QString desktopEntry(const TestEnvironment::TemporaryHome &home)
{
    return home.home() + QStringLiteral("/Desktop/") + kEntryName;
}

QString menuEntry(const TestEnvironment::TemporaryHome &home)
{
    return home.data() + QStringLiteral("/applications/ГУЗ ВЕЛНОР/Ордана 2017/") + kEntryName;
}
#endif

// The launcher starts the program in the folder (tst_launchers and the executable's check run
// desktop-file-validate over such entries; on Windows tst_launchers reads shell links back).
void checkLauncher(const QString &path, const QString &folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    QVERIFY2(QFileInfo(path).size() > 0, qPrintable(path));
    return;
#endif
    const QStringList lines = QString::fromUtf8(readBack(path)).split(u'\n');
    QVERIFY2(lines.contains(QStringLiteral("Exec=\"%1QorClient.exe\"").arg(folder)),
             qPrintable(lines.join(u'|')));
    QVERIFY(lines.contains(QStringLiteral("Path=") + folder));
    QVERIFY(QFile::permissions(path) & QFile::ExeOwner);
}

// desktopMissing: the home has no desktop folder, so the box says the launcher is not there.
void expectSuccessBox(ScriptedDialogs &dialogs, bool desktopMissing = false)
{
    QCOMPARE(dialogs.log().size(), 1);
    QCOMPARE(dialogs.log().at(0).caption, QStringLiteral("Ордана 2011"));
    const QString text = dialogs.log().at(0).text;
    QVERIFY(text.startsWith(QStringLiteral("Установка успешно завершена.")));
    QCOMPARE(text.contains(QStringLiteral("Ярлык на рабочем столе не создан")), desktopMissing);
    QCOMPARE(dialogs.log().at(0).icon, Dialogs::Icon::Information);
    dialogs.verifyDone();
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::isolateHome();
        Application::prepare(*qApp); // the busy pointer's hooks, as in the program
    }

    void dialogLayoutAndKeys();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void okChecks_data();
    void okChecks();
    void variantStored_data();
    void variantStored();
    void installsAsSetupExe();
    void secondRunReplacesEverything();
    void failedCopyEndsWithEveryFileWhole_data();
    void failedCopyEndsWithEveryFileWhole();
    void browseStartsWhereTheFolderIs_data();
    void browseStartsWhereTheFolderIs();
};

void TestInstall::dialogLayoutAndKeys()
{
    TestEnvironment::TemporaryHome home;
    TfmInstall dialog;
    QCOMPARE(dialog.windowTitle(), kTitle);
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.width() >= 385 && dialog.height() >= 135);
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Укажите папку для установки программы:"));
#ifdef Q_OS_WIN
    QCOMPARE(dialog.DirectoryEdit1->text(), QStringLiteral("C:\\VELNOR\\QorClient2017"));
#else
    QCOMPARE(dialog.DirectoryEdit1->text(), home.home() + QStringLiteral("/VELNOR/QorClient2017"));
#endif
    QCOMPARE(dialog.chbObrSoc->text(),
             QStringLiteral("Версия для учреждений образования и социальной сферы"));
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("btnOK"));
    auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("btnCancel"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(cancel->text(), QStringLiteral("Отмена"));

    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const QList<QWidget *> order{dialog.DirectoryEdit1, dialog.chbObrSoc, ok, cancel};
    for (QWidget *expected : order) {
        QCOMPARE(QApplication::focusWidget(), expected);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.Accepted());
}

// Cancelling writes nothing: the store keeps its bytes, no folder and no launcher appear.
void TestInstall::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Отмена") << "btnCancel";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("close box") << "close";
}

void TestInstall::cancelChangesNothing()
{
    QFETCH(QString, how);
    TestEnvironment::TemporaryHome home;
    writeObrSoc(Variant::EducationSocial);
    const QByteArray store = readBack(IniRegistry::currentUserFilePath());
    SourceFolder source;
    ScriptedDialogs dialogs;
    bool busyOverDialog = false;
    onDialog([&](TfmInstall &dialog) {
        busyOverDialog = QApplication::overrideCursor() &&
                         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        dialog.DirectoryEdit1->setText(home.path(QStringLiteral("elsewhere")));
        if (how == QLatin1String("Esc"))
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (how == QLatin1String("close"))
            dialog.close();
        else
            press(dialog, "btnCancel");
    });
    RunSetup(source.program);

    QVERIFY(busyOverDialog);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(readBack(IniRegistry::currentUserFilePath()), store);
    QCOMPARE(readObrSoc(), QStringLiteral("+"));
    QCOMPARE(filesIn(home.home()), QStringList());
    QCOMPARE(filesIn(home.data()), QStringList());
    QCOMPARE(filesIn(source.dir.path()),
             (QStringList{"2017-1.dat", "SETUP.EXE", "Руководство.doc"}));
    dialogs.verifyDone();
}

void TestInstall::okChecks_data()
{
    QTest::addColumn<QString>("typed"); // "<earlier>": the earlier installation's folder
    QTest::addColumn<bool>("programThere");
    QTest::addColumn<QString>("refusal"); // empty: accepted
    const QString earlier = QStringLiteral("Программа Ордана уже установлена в папке "
                                           "\"<earlier>/\"!\r\nВам необходимо выбрать другую "
                                           "папку для установки.");
    const QString empty = QStringLiteral("Укажите папку для установки программы!");
    QTest::newRow("empty") << "" << false << empty;
    QTest::newRow("blanks and tabs") << "  \t " << false << empty;
    QTest::newRow("earlier folder") << "<earlier>" << true << earlier;
    QTest::newRow("earlier folder with /") << "<earlier>/" << true << earlier;
    QTest::newRow("earlier folder with blanks") << " <earlier> " << true << earlier;
    QTest::newRow("earlier folder, program gone") << "<earlier>" << false << "";
#ifndef Q_OS_WIN // GLib finds no program under a "%" of a launcher
    QTest::newRow("a folder with %")
        << "/tmp/Выгрузка 100%" << false
        << "Из папки, в имени которой есть знак \"%\", рабочий стол не запустит программу.\r\n"
           "Выберите другую папку для установки.";
#endif
#ifdef Q_OS_WIN // the same folder there
    QTest::newRow("earlier folder in other case") << "<earlier-lower>" << true << earlier;
#else
    QTest::newRow("earlier folder in other case") << "<earlier-lower>" << true << "";
#endif
}

void TestInstall::okChecks()
{
    QFETCH(QString, typed);
    QFETCH(bool, programThere);
    QFETCH(QString, refusal);
    TestEnvironment::TemporaryHome home;
    // Under the home here, on drive C: on Windows (the prefix's own under Wine).
    const QString earlierFolder = InstallPlaces::earlierTargetFolder();
    QVERIFY(QDir().mkpath(earlierFolder));
    QFile::remove(earlierFolder + QStringLiteral("/QorClient.exe"));
    if (programThere)
        put(earlierFolder + QStringLiteral("/QorClient.exe"), "old");
    typed.replace(QStringLiteral("<earlier-lower>"), earlierFolder.toLower());
    typed.replace(QStringLiteral("<earlier>"), earlierFolder);
    refusal.replace(QStringLiteral("<earlier>/"), InstallPlaces::absoluteFolder(typed)); // as typed

    ScriptedDialogs dialogs;
    bool stayedOpen = false;
    if (!refusal.isEmpty())
        dialogs.expectMessage();
    onDialog([&](TfmInstall &dialog) {
        dialog.DirectoryEdit1->setText(typed);
        press(dialog, "btnOK");
        stayedOpen = dialog.isVisible();
        if (stayedOpen)
            press(dialog, "btnCancel");
    });
    QString variant = QStringLiteral("-");
    QString folder;
    ShowInstallDialog(variant, folder);

    QCOMPARE(stayedOpen, !refusal.isEmpty());
    QCOMPARE(folder, refusal.isEmpty() ? typed : QString());
    if (!refusal.isEmpty()) {
        QCOMPARE(dialogs.log().size(), 1);
        QCOMPARE(dialogs.log().at(0).caption, kTitle);
        QCOMPARE(dialogs.log().at(0).text, refusal);
        QCOMPARE(dialogs.log().at(0).icon, Dialogs::Icon::Error);
    }
    dialogs.verifyDone();
}

// The check box shows the stored variant, and what it shows at "OK" is stored.
void TestInstall::variantStored_data()
{
    QTest::addColumn<QString>("stored"); // empty: never stored
    QTest::addColumn<bool>("tickedAtOpen");
    QTest::addColumn<int>("tick"); // -1: left as it was
    QTest::addColumn<QString>("storedAfter");
    QTest::newRow("+ ticks the box; unticked stores -") << "+" << true << 0 << "-";
    QTest::newRow("+ left ticked") << "+" << true << -1 << "+";
    QTest::newRow("nothing stored, ticked") << "" << false << 1 << "+";
    QTest::newRow("only exactly + counts") << "+ " << false << -1 << "-";
}

void TestInstall::variantStored()
{
    QFETCH(QString, stored);
    QFETCH(bool, tickedAtOpen);
    QFETCH(int, tick);
    QFETCH(QString, storedAfter);
    TestEnvironment::TemporaryHome home;
    if (!stored.isEmpty())
        SettingsStore().WriteSetting(SettingsStore::installationKeyPath(), QString(),
                                     QStringLiteral("ObrSoc"), stored);
    SourceFolder source;
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    bool ticked = !tickedAtOpen;
    onDialog([&](TfmInstall &dialog) {
        ticked = dialog.chbObrSoc->isChecked();
        if (tick >= 0)
            dialog.chbObrSoc->setChecked(tick == 1);
        press(dialog, "btnOK");
    });
    RunSetup(source.program);
    QCOMPARE(ticked, tickedAtOpen);
    QCOMPARE(readObrSoc(), storedAfter);
#ifdef Q_OS_WIN
    expectSuccessBox(dialogs);
#else
    expectSuccessBox(dialogs, true); // a fresh home without a desktop folder
#endif
}

// Run as "SETUP.EXE" beside an older "QorClient.exe": the installed program is the running one;
// the other visible files come along, writable; the launchers start it in its folder.
void TestInstall::installsAsSetupExe()
{
    TestEnvironment::TemporaryHome home;
    QVERIFY(QDir().mkpath(home.home() + QStringLiteral("/Рабочий стол")));
    put(home.config() + QStringLiteral("/user-dirs.dirs"),
        "XDG_DESKTOP_DIR=\"$HOME/Рабочий стол\"\n");
    SourceFolder source;
    put(source.file(QStringLiteral("QorClient.exe")), "old program", kProgram);
#ifdef Q_OS_WIN
    // Hidden is a mark there; and "setup.exe" would be the running program itself.
    put(source.file(QStringLiteral(".hidden")), "hidden");
    QVERIFY(SetFileAttributesW(reinterpret_cast<const wchar_t *>(
                                   QDir::toNativeSeparators(source.file(".hidden")).utf16()),
                               FILE_ATTRIBUTE_HIDDEN));
#else
    put(source.file(QStringLiteral("setup.exe")), "another setup");
    put(source.file(QStringLiteral(".hidden")), "hidden");
#endif
    put(source.file(QStringLiteral("QorClient.lock")), "a client running there");
    QVERIFY(QDir(source.dir.path()).mkdir(QStringLiteral("sub")));
    put(source.file(QStringLiteral("sub/inner.dat")), "inner");
    QVERIFY(QDir(source.dir.path()).mkdir(QStringLiteral("platforms")));
    put(source.file(QStringLiteral("platforms/qwindows.dll")), "plugin");
    const QString folder = home.home() + QStringLiteral("/Офис/Ордана 2017/");

    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    answer(folder.chopped(1));
    RunSetup(source.program);

    // The Windows package's plugin folder comes along; other sub-folders stay.
    QCOMPARE(filesIn(folder),
             (QStringList{"2017-1.dat", "QorClient.exe", "platforms", "Руководство.doc"}));
    QCOMPARE(readBack(folder + QStringLiteral("platforms/qwindows.dll")), QByteArray("plugin"));
    QCOMPARE(readBack(folder + QStringLiteral("QorClient.exe")), QByteArray("new program"));
    QVERIFY(QFile::permissions(folder + QStringLiteral("QorClient.exe")) & QFile::ExeOwner);
    QCOMPARE(readBack(folder + QStringLiteral("Руководство.doc")), QByteArray("manual"));
    QVERIFY(QFile::permissions(folder + QStringLiteral("Руководство.doc")) & QFile::WriteOwner);
    QCOMPARE(readBack(folder + QStringLiteral("2017-1.dat")), QByteArray("cards"));
#ifdef Q_OS_WIN
    checkLauncher(desktopEntry(home), folder);
#else
    checkLauncher(home.home() + QStringLiteral("/Рабочий стол/") + kEntryName, folder);
#endif
    checkLauncher(menuEntry(home), folder);
    QCOMPARE(BusyCursor::depth(), 0);
    QVERIFY(!QApplication::overrideCursor());
    expectSuccessBox(dialogs);
}

// A second run replaces every file and both launchers without a question, read-only ones too.
void TestInstall::secondRunReplacesEverything()
{
    TestEnvironment::TemporaryHome home;
    QVERIFY(QDir().mkpath(home.home() + QStringLiteral("/Desktop")));
    SourceFolder source;
    const QString folder = InstallPlaces::withTrailingSeparator(InstallPlaces::defaultTargetFolder());
    for (int run = 1; run <= 2; ++run) {
        if (run == 2) {
            put(source.program, "newer program", kProgram);
            put(source.file(QStringLiteral("Руководство.doc")), "newer manual", kReadOnly);
            put(folder + QStringLiteral("2017-1.dat"), "changed", kReadOnly);
            put(desktopEntry(home), "broken", kReadOnly);
            put(menuEntry(home), "broken");
        }
        ScriptedDialogs dialogs;
        dialogs.expectMessage();
        onDialog([](TfmInstall &dialog) { press(dialog, "btnOK"); });
        RunSetup(source.program);
        expectSuccessBox(dialogs);
    }
    QCOMPARE(readBack(folder + QStringLiteral("QorClient.exe")), QByteArray("newer program"));
    QCOMPARE(readBack(folder + QStringLiteral("Руководство.doc")), QByteArray("newer manual"));
    QCOMPARE(readBack(folder + QStringLiteral("2017-1.dat")), QByteArray("cards"));
    checkLauncher(desktopEntry(home), folder);
    checkLauncher(menuEntry(home), folder);
#ifndef Q_OS_WIN
    QCOMPARE(filesIn(home.home() + QStringLiteral("/Desktop")), QStringList{kEntryName});
#endif
}

// A failed copy ends the program through the fatal error box with the system error, after the
// variant was stored; no file loses a byte, above all when the target is the program's own
// folder.
void TestInstall::failedCopyEndsWithEveryFileWhole_data()
{
    QTest::addColumn<QString>("programName");
    QTest::addColumn<QString>("target"); // relative to the source folder
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("installedProgram"); // QorClient.exe afterwards
    QTest::newRow("the program's own folder") << "QorClient.exe"
                                              << "." << 32 << QByteArray("new program");
    QTest::newRow("SETUP.EXE in its own folder") << "SETUP.EXE"
                                                 << "." << 32 << QByteArray("new program");
    QTest::newRow("a folder that cannot be made")
        << "SETUP.EXE"
        << "2017-1.dat/sub" << 3 << QByteArray("old program");
}

void TestInstall::failedCopyEndsWithEveryFileWhole()
{
    QFETCH(QString, programName);
    QFETCH(QString, target);
    QFETCH(int, code);
    QFETCH(QByteArray, installedProgram);
    TestEnvironment::TemporaryHome home;
    SourceFolder source(programName);
    if (programName != QLatin1String("QorClient.exe"))
        put(source.file(QStringLiteral("QorClient.exe")), "old program", kProgram);
    const QStringList before = filesIn(source.dir.path());

    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    answer(source.file(target));
    QCOMPARE(Application::runInstaller([&] { RunSetup(source.program); }), 1);

    QCOMPARE(dialogs.log().size(), 1);
    QCOMPARE(dialogs.log().at(0).caption, QStringLiteral("Ошибка приложения"));
    const QString text = dialogs.log().at(0).text;
    QVERIFY2(text.contains(QStringLiteral("Исключительная ситуация EOSError")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("\r\nСистемная ошибка.  Код: %1.\r\n").arg(code)),
             qPrintable(text));
    dialogs.verifyDone();
    QCOMPARE(filesIn(source.dir.path()), before);
    QCOMPARE(readBack(source.file(QStringLiteral("QorClient.exe"))), installedProgram);
    QCOMPARE(readBack(source.program), QByteArray("new program"));
    QCOMPARE(readBack(source.file(QStringLiteral("Руководство.doc"))), QByteArray("manual"));
    QCOMPARE(readBack(source.file(QStringLiteral("2017-1.dat"))), QByteArray("cards"));
    QCOMPARE(readObrSoc(), QStringLiteral("-")); // stored before the copies: no rollback
    QVERIFY(!QApplication::overrideCursor());
}

void TestInstall::browseStartsWhereTheFolderIs_data()
{
    QTest::addColumn<QString>("field"); // "<default>": as the dialog opens
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("picked");
    QTest::newRow("existing folder") << "<home>/Офис"
                                     << "<home>/Офис" << true;
    QTest::newRow("picker cancelled") << "<home>/Офис"
                                      << "<home>/Офис" << false;
#ifdef Q_OS_WIN // the rows below start from the home folder, which Windows does not install into
    return;
#endif
    QTest::newRow("default, not made yet: its nearest parent") << "<default>"
                                                               << "<home>" << true;
    QTest::newRow("empty: the last folder picked") << ""
                                                   << "<home>" << true;
    QTest::newRow("nothing of it exists: the root") << "/no such/folder"
                                                    << "/" << true;
}

void TestInstall::browseStartsWhereTheFolderIs()
{
    QFETCH(QString, field);
    QFETCH(QString, start);
    QFETCH(bool, picked);
    TestEnvironment::TemporaryHome home;
    QVERIFY(QDir().mkpath(home.home() + QStringLiteral("/Офис")));
    field.replace(QStringLiteral("<home>"), home.home());
    start.replace(QStringLiteral("<home>"), home.home());
    start = QDir::toNativeSeparators(start);
    TfmInstall dialog;
    if (field != QLatin1String("<default>"))
        dialog.DirectoryEdit1->setText(field);
    const QString before = dialog.DirectoryEdit1->text();
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    ScriptedDialogs dialogs;
    dialogs.expectFolder(picked, home.path(QStringLiteral("picked")));
    QTest::keyClick(dialog.DirectoryEdit1, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(dialogs.log().size(), 1);
    QCOMPARE(dialogs.log().at(0).caption, QStringLiteral("Выберите папку для установки программы"));
    QCOMPARE(dialogs.log().at(0).text, start);
    QCOMPARE(dialog.DirectoryEdit1->text(),
             picked ? QDir::toNativeSeparators(home.path(QStringLiteral("picked"))) : before);
    dialogs.verifyDone();
}

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
