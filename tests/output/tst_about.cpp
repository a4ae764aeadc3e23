#include "output/AboutManual.h"
#include "platform/DocumentOpener.h"
#include "platform/QorError.h"
#include "support/Failures.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void aboutShowsEmbeddedVersion();
    void aboutText_data();
    void aboutText();
    void manual();
};

void TestAbout::aboutShowsEmbeddedVersion()
{
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    ShowAbout(dialogs);
    QCOMPARE(dialogs.log().size(), 1);
    const ScriptedDialogs::Box box = dialogs.log().first();
    QCOMPARE(box.caption, QStringLiteral("О программе"));
    QCOMPARE(box.icon, Dialogs::Icon::Information);
    QCOMPARE(box.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(box.text,
             QStringLiteral("Программа \"Ордана\" версия 4.0.2.37\r\nCopyright © VELNOR, 2017"));
    dialogs.verifyDone();
}

void TestAbout::aboutText_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("text");
    const QByteArray table = "\\VarFileInfo\\Translation=041904e3\n"
                             "\\FixedFileVersion=4.0.2.37\n"
                             "\\StringFileInfo\\041904E3\\LegalCopyright=(c) X\n";
    QTest::newRow("empty FileVersion: the fixed numbers")
        << table + "\\StringFileInfo\\041904E3\\ProductName=Ордана\n"
                   "\\StringFileInfo\\041904E3\\FileVersion=\n"
        << true << "Программа \"Ордана\" версия 4.0.2.37\r\n(c) X";
    QTest::newRow("no ProductName") << table + "\\StringFileInfo\\041904E3\\FileVersion=9.9\n"
                                    << true << "Программа \"\" версия 9.9\r\n(c) X";
    QTest::newRow("entries of another table are not read")
        << QByteArray("\\VarFileInfo\\Translation=040904B0\n"
                      "\\StringFileInfo\\041904E3\\ProductName=Ордана\n")
        << true << "Программа \"\" версия 0.0.0.0\r\n";
    QTest::newRow("no version information") << QByteArray() << false << "\r\n";
}

void TestAbout::aboutText()
{
    QFETCH(QByteArray, record);
    QFETCH(bool, present);
    QFETCH(QString, text);
    std::optional<VersionInfo> info;
    if (present)
        info = VersionInfo::fromRecord(record);
    QCOMPARE(AboutText(info), text);
}

void TestAbout::manual()
{
    QTemporaryDir programFolder;
    const QString folder = QDir::toNativeSeparators(programFolder.path()) + QDir::separator();
    QStringList opened;
    DocumentOpener::install([&](const QString &path) {
        opened << path;
        return false; // a desktop without a word processor: still no message
    });
    const QString path = folder + QStringLiteral("Руководство.doc");

    // The current folder holds a manual, the program folder does not: it is still missing.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(programFolder.path());
    QDir().mkdir(QStringLiteral("cwd"));
    QDir::setCurrent(QStringLiteral("cwd"));
    QFile(QStringLiteral("Руководство.doc")).open(QIODevice::WriteOnly);
    QCOMPARE(Failures::errorOf([&] { OpenManual(folder); }),
             QStringLiteral("Файл \"%1\" не найден !").arg(path));
    QDir::setCurrent(previous);
    QVERIFY(opened.isEmpty());

    QFile(path).open(QIODevice::WriteOnly);
    ScriptedDialogs dialogs; // no box expected
    OpenManual(folder);
    QCOMPARE(opened, QStringList{path});
    DocumentOpener::install({});
}

QTEST_GUILESS_MAIN(TestAbout)
#include "tst_about.moc"
