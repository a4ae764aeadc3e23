#include "platform/InstallPlaces.h"
#include "platform/Launcher.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

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
        folder = QDir::currentPath() + folder.mid(1);
    QCOMPARE(InstallPlaces::absoluteFolder(typed), folder);
}

void TestLaunchers::desktopAndProgramsFolders_data()
{
    QTest::addColumn<QByteArray>("userDirs"); // user-dirs.dirs, empty: none
    QTest::addColumn<QString>("desktop");
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

QTEST_GUILESS_MAIN(TestLaunchers)
#include "tst_launchers.moc"
