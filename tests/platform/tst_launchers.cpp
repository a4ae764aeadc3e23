#include "platform/InstallPlaces.h"
#include "platform/Launcher.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#ifdef Q_OS_WIN
#include <objbase.h>
#include <shlobj.h>
#endif

namespace {

#ifdef Q_OS_WIN
// What a shell link says, read back through the shell's own interface: target, working folder
// and description, one per line.
QString readShellLink(const QString &path)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    QString said = QStringLiteral("<unreadable>");
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void **>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) &&
        SUCCEEDED(file->Load(reinterpret_cast<const wchar_t *>(path.utf16()), STGM_READ))) {
        wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, description[MAX_PATH] = {};
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetWorkingDirectory(folder, MAX_PATH);
        link->GetDescription(description, MAX_PATH);
        said = QString::fromWCharArray(target) + u'\n' + QString::fromWCharArray(folder) + u'\n' +
               QString::fromWCharArray(description);
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    return said;
}
#endif

QString validatorOutput(const QString &path, int *status)
{
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty()) {
        *status = -1;
        return QStringLiteral("desktop-file-validate is missing: run scripts/install-deps.sh");
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(validator, {path});
    process.waitForFinished();
    *status = process.exitCode();
    return QString::fromUtf8(process.readAll());
}

} // namespace

class TestLaunchers : public QObject
{
    Q_OBJECT

private slots:
#ifdef Q_OS_WIN
    void shellLinks();
#endif
    void folderNames_data();
    void folderNames();
    void desktopAndProgramsFolders_data();
    void desktopAndProgramsFolders();
    void desktopEntries_data();
    void desktopEntries();
};

void TestLaunchers::folderNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("folder"); // "~" for the home folder, "." for the current one
#ifdef Q_OS_WIN
    QTest::newRow("trailing separator added") << "C:\\VELNOR\\Q" << "C:\\VELNOR\\Q\\";
    QTest::newRow("slashes and dots") << "C:/VELNOR/./a/../Q//" << "C:\\VELNOR\\Q\\";
    QTest::newRow("blanks and controls dropped") << " \tC:\\Моя папка \r\n" << "C:\\Моя папка\\";
    QTest::newRow("drive letter alone") << "D" << "D:\\";
    QTest::newRow("drive") << "d:" << "d:\\";
    QTest::newRow("network share") << "\\\\server\\obmen\\q" << "\\\\server\\obmen\\q\\";
    QTest::newRow("relative") << "VELNOR" << ".\\VELNOR\\";
    return;
#endif
    QTest::newRow("trailing separator added") << "/opt/q"
                                              << "/opt/q/";
    QTest::newRow("kept") << "/opt/q/"
                          << "/opt/q/";
    QTest::newRow("blanks and controls dropped") << " \t/opt/Моя папка \r\n"
                                                 << "/opt/Моя папка/";
    QTest::newRow("dots resolved") << "/opt/./a/../q//"
                                   << "/opt/q/";
    QTest::newRow("letter case kept") << "/Opt/Q"
                                      << "/Opt/Q/";
    QTest::newRow("home") << "~/VELNOR/Q"
                          << "~/VELNOR/Q/";
    QTest::newRow("home alone") << "~"
                                << "~/";
    QTest::newRow("tilde inside a name") << "/opt/~q"
                                         << "/opt/~q/";
    QTest::newRow("relative") << "VELNOR"
                              << "./VELNOR/";
    QTest::newRow("root") << "/"
                          << "/";
}

void TestLaunchers::folderNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, folder);
    if (folder.startsWith(u'~'))
        folder = QDir::homePath() + folder.mid(1);
    else if (folder.startsWith(u'.'))
        folder = QDir::toNativeSeparators(QDir::currentPath()) + folder.mid(1);
    QCOMPARE(InstallPlaces::absoluteFolder(typed), folder);
}

void TestLaunchers::desktopAndProgramsFolders_data()
{
    QTest::addColumn<QByteArray>("userDirs"); // user-dirs.dirs, empty: none
    QTest::addColumn<QString>("desktop");
#ifdef Q_OS_WIN
    QSKIP("Windows names these folders itself (tested in desktopEntries)");
#endif
    QTest::newRow("no user folders") << QByteArray() << "Desktop/";
    QTest::newRow("localized desktop") << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n"
                                                     "XDG_DESKTOP_DIR=\"$HOME/Рабочий стол\"\n")
                                       << "Рабочий стол/";
}

void TestLaunchers::desktopAndProgramsFolders()
{
    QFETCH(QByteArray, userDirs);
    QFETCH(QString, desktop);
    TestEnvironment::TemporaryHome home;
    if (!userDirs.isEmpty()) {
        QFile file(home.config() + QStringLiteral("/user-dirs.dirs"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(userDirs);
    }
    QCOMPARE(InstallPlaces::desktopFolder(), home.home() + u'/' + desktop);
    QCOMPARE(InstallPlaces::programsFolder(), home.data() + QStringLiteral("/applications/"));
}

// Every folder name gives an entry that starts that very program in that very folder, and that
// the desktop's own checker accepts.
void TestLaunchers::desktopEntries_data()
{
#ifdef Q_OS_WIN
    QSKIP("desktop entries are Linux launchers; Windows gets shell links (shellLinks)");
#endif
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/home/u/VELNOR/QorClient2017/"
                           << R"("/home/u/VELNOR/QorClient2017/QorClient.exe")"
                           << "/home/u/VELNOR/QorClient2017/";
    QTest::newRow("blanks and Cyrillic") << "/home/u/Ордана 2017/"
                                         << R"("/home/u/Ордана 2017/QorClient.exe")"
                                         << "/home/u/Ордана 2017/";
    QTest::newRow("quote, dollar, backquote") << "/q/\"a\" $b `c`/"
                                              << R"("/q/\\"a\\" \\$b \\`c\\`/QorClient.exe")"
                                              << "/q/\"a\" $b `c`/";
    QTest::newRow("backslash and percent") << "/q/a\\b 100%/"
                                           << R"("/q/a\\\\b 100%%/QorClient.exe")"
                                           << R"(/q/a\\b 100%/)";
    QTest::newRow("leading blank of a name") << "/q/ a/"
                                             << R"("/q/ a/QorClient.exe")"
                                             << "/q/ a/";
}

void TestLaunchers::desktopEntries()
{
    QFETCH(QString, folder);
    QFETCH(QString, exec);
    QFETCH(QString, path);
    TestEnvironment::TemporaryHome home;
    Launcher launcher;
    launcher.name = QStringLiteral("Ордана 2017");
    launcher.targetPath = folder + QStringLiteral("QorClient.exe");
    launcher.workingFolder = folder;
    launcher.description = QStringLiteral("Ордана 2017");
    const QString file = home.home() + u'/' + Launcher::fileName(QStringLiteral("Ордана 2017"));
    QVERIFY(QFile::exists(home.home()));
    launcher.save(file);

    QFile entry(file);
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(u'\n');
    QVERIFY(lines.contains(QStringLiteral("Exec=") + exec));
    QVERIFY(lines.contains(QStringLiteral("Path=") + path));
    QVERIFY(lines.contains(QStringLiteral("Name=Ордана 2017")));
    QVERIFY(lines.contains(QStringLiteral("Comment=Ордана 2017")));
    QVERIFY(QFile::permissions(file) & QFile::ExeOwner);

    int status = 0;
    const QString output = validatorOutput(file, &status);
    QVERIFY2(status == 0 && !output.contains(QStringLiteral("error")), qPrintable(output));
    QCOMPARE(QDir(home.home()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Ордана 2017.desktop")});
}

#ifdef Q_OS_WIN
// The installer's links land in the user's desktop and Start-menu programs folders, and the shell
// reads back from them the program, its folder and the tooltip, Cyrillic names included.
void TestLaunchers::shellLinks()
{
    const QString desktop = InstallPlaces::desktopFolder();
    const QString programs = InstallPlaces::programsFolder();
    QVERIFY2(desktop.endsWith(QStringLiteral("\\Desktop\\")), qPrintable(desktop));
    QVERIFY2(programs.endsWith(QStringLiteral("\\Start Menu\\Programs\\")), qPrintable(programs));

    QTemporaryDir dir;
    const QString folder = QDir::toNativeSeparators(dir.filePath(QStringLiteral("Ордана 2017"))) + u'\\';
    Launcher launcher;
    launcher.name = QStringLiteral("Ордана 2017");
    launcher.targetPath = folder + QStringLiteral("QorClient.exe");
    launcher.workingFolder = folder;
    launcher.description = QStringLiteral("Ордана 2017");
    const QString file = dir.filePath(Launcher::fileName(QStringLiteral("Ордана 2017")));
    QCOMPARE(QFileInfo(file).fileName(), QStringLiteral("Ордана 2017.lnk"));
    launcher.save(file);
    QCOMPARE(readShellLink(file), launcher.targetPath + u'\n' + folder + u'\n' + launcher.description);
    launcher.description = QStringLiteral("Другое");
    launcher.save(file); // replaced without a question
    QVERIFY(readShellLink(file).endsWith(QStringLiteral("\nДругое")));
}
#endif

QTEST_GUILESS_MAIN(TestLaunchers)
#include "tst_launchers.moc"
