#include "OutputTestKit.h"
#include "data/ReferenceLists.h"
#include "output/Export.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "support/Failures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace OutputTestKit;
using CardFileTestKit::fileBytes;

namespace {

const QString kFolderText = QStringLiteral("Выберите папку для сохранения выгрузки:");

QStringList logLines(const QString &path, int count, const QString &when)
{
    return {QString(33, u'*'), path, QStringLiteral("Дата выгрузки: ") + when,
            QStringLiteral("Выгружено записей: %1").arg(count)};
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void withFilterAndOrder();
    void emptyExportTwiceIntoOneFolder();
    void refusedCardLogsNothing();
    void failures_data();
    void failures();
    void exportPath_data();
    void exportPath();

private:
    // Runs the command; returns its error, empty when it ran to its end.
    QString run(CardTable &t, const QString &meeting = QStringLiteral("М"))
    {
        return Failures::errorOf(
            [&] { ExportCommand(meeting, t, ReferenceLists(), m_program->path(), m_dialogs); });
    }
    QString log() const { return m_program->filePath(QStringLiteral("Export.log")); }

    std::unique_ptr<QTemporaryDir> m_program;
    std::unique_ptr<QTemporaryDir> m_target;
    ScriptedDialogs m_dialogs;
};

void TestExport::init()
{
    m_program = std::make_unique<QTemporaryDir>();
    m_target = std::make_unique<QTemporaryDir>();
    m_dialogs.verifyDone();
}

void TestExport::withFilterAndOrder()
{
    TestEnvironment::FixedClock clock(QDateTime(QDate(2017, 3, 15), QTime(9, 5, 27)));
    CardTable t;
    addPerson(t, QStringLiteral("Яковлев"), QStringLiteral("О"), 1);
    addPerson(t, QStringLiteral("Борисова"), QStringLiteral("А"), 2);
    addPerson(t, QStringLiteral("Абрамов"), QStringLiteral("И"), 1);
    t.setFilter(QStringLiteral("FTYPE=1"));
    t.setSortField(QStringLiteral("FAM"));

    m_dialogs.expectFolder(true, m_target->path());
    m_dialogs.expectMessage();
    QCOMPARE(run(t), QString());
    const QString path = QDir::toNativeSeparators(m_target->filePath(QStringLiteral("Qor21.exp")));
    QCOMPARE(m_dialogs.log().at(0).caption, kFolderText);
    QCOMPARE(m_dialogs.log().at(1).text,
             QStringLiteral("Выгружено записей в файл \"%1\": 2").arg(path));

    const QString exported = Cp1251::decode(fileBytes(path));
    QVERIFY(exported.startsWith(QStringLiteral("<QOR>\r\n[1]\r\n")));
    QVERIFY(exported.indexOf(QStringLiteral("@FAM=Абрамов")) <
            exported.indexOf(QStringLiteral("[2]\r\n")));
    QVERIFY(exported.contains(QStringLiteral("[2]\r\n@FTYPE=1")));
    QVERIFY(exported.contains(QStringLiteral("@FAM=Яковлев")));
    QVERIFY(!exported.contains(QStringLiteral("Борисова")) && !exported.contains("[3]"));
    QCOMPARE(fileBytes(log()), CardFileTestKit::crlfLines(logLines(path, 2, "15.03.2017 9:05:27")));
    m_dialogs.verifyDone();
}

void TestExport::emptyExportTwiceIntoOneFolder()
{
    TestEnvironment::FixedClock clock(QDateTime(QDate(2017, 12, 1), QTime(23, 0, 5)));
    CardTable t;
    const QString folder = m_target->path() + u'/'; // a folder ending in its separator
    const QString path = QDir::toNativeSeparators(m_target->filePath(QStringLiteral("Qor21.exp")));
    for (int i = 0; i < 2; ++i) {
        m_dialogs.expectFolder(true, folder);
        m_dialogs.expectMessage();
        QCOMPARE(run(t), QString());
        QCOMPARE(m_dialogs.log().at(1).text,
                 QStringLiteral("Выгружено записей в файл \"%1\": 0").arg(path));
        m_dialogs.verifyDone();
    }
    QCOMPARE(fileBytes(path), QByteArray("<QOR>\r\n"));
    QCOMPARE(QDir(m_target->path()).entryList(QDir::Files), QStringList{"Qor21.exp"});
    const QStringList entry = logLines(path, 0, "01.12.2017 23:00:05");
    QCOMPARE(fileBytes(log()), CardFileTestKit::crlfLines(entry + entry));
}

void TestExport::refusedCardLogsNothing()
{
    CardTable t;
    addPerson(t, QStringLiteral("Первый"), QStringLiteral("А"));
    addPerson(t, QStringLiteral("Второй"), QStringLiteral("Б"));
    CardFileTestKit::addCard(
        t, CardFileTestKit::validCard(QStringLiteral("Третий"), {{CardFields::DOL, "999"}}));
    addPerson(t, QStringLiteral("Четвёртый"), QStringLiteral("Г"));
    QVERIFY(CardFileTestKit::putFile(log(), "old\r\n"));

    m_dialogs.expectFolder(true, m_target->path());
    QCOMPARE(run(t), QStringLiteral("Для \"Третий\" нужно выбрать должность из нового перечня!"));
    const QString exported =
        Cp1251::decode(fileBytes(m_target->filePath(QStringLiteral("Qor21.exp"))));
    QVERIFY(exported.contains(QStringLiteral("[2]")) && !exported.contains(QStringLiteral("[3]")));
    QCOMPARE(fileBytes(log()), QByteArray("old\r\n"));
    m_dialogs.verifyDone(); // no final message
}

void TestExport::failures_data()
{
    QTest::addColumn<QString>("meeting");
    QTest::addColumn<bool>("folderChosen");
    QTest::addColumn<QString>("folder"); // relative to the target folder
    QTest::addColumn<bool>("logFolderMissing");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("exportWritten");
    QTest::newRow("no meeting") << "" << false << "" << false << "Сначала добавьте заседание!"
                                << false;
    QTest::newRow("cancelled") << "М" << false << "" << false << "" << false;
    QTest::newRow("folder missing")
        << "М" << true << "missing" << false << "Неверное имя файла" << false;
    QTest::newRow("log cannot be written")
        << "М" << true << "" << true << "Неверное имя файла" << true;
    QTest::newRow("a folder the log cannot name: nothing written")
        << "М" << true << "导出 ✓" << false
        << "Символа \"导\" в пути \"<path>\" нет в кодировке Windows-1251: журнал выгрузки не "
           "может его записать. Выберите другую папку"
        << false;
}

void TestExport::failures()
{
    QFETCH(QString, meeting);
    QFETCH(bool, folderChosen);
    QFETCH(QString, folder);
    QFETCH(bool, logFolderMissing);
    QFETCH(QString, error);
    QFETCH(bool, exportWritten);
    CardTable t;
    addPerson(t, QStringLiteral("А"), QStringLiteral("Б"));
    const QString chosen = m_target->filePath(folder);
    if (folder != QLatin1String("missing"))
        QVERIFY(QDir().mkpath(chosen));
    error.replace(QStringLiteral("<path>"), ExportFilePath(chosen));
    if (!meeting.isEmpty())
        m_dialogs.expectFolder(folderChosen, chosen);
    QString programFolder = m_program->path();
    if (logFolderMissing)
        programFolder += QStringLiteral("/gone");

    QCOMPARE(Failures::errorOf(
                 [&] { ExportCommand(meeting, t, ReferenceLists(), programFolder, m_dialogs); }),
             error);
    QCOMPARE(QFile::exists(FileSystem::joinPath(chosen, QStringLiteral("Qor21.exp"))),
             exportWritten);
    QVERIFY(!QFile::exists(log()));
    m_dialogs.verifyDone(); // no final message
}

void TestExport::exportPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("folder") << "/srv/obmen"
                            << "/srv/obmen/Qor21.exp";
    QTest::newRow("ends in a separator") << "/srv/obmen/"
                                         << "/srv/obmen/Qor21.exp";
    QTest::newRow("root") << "/"
                          << "/Qor21.exp";
}

void TestExport::exportPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(ExportFilePath(folder), QDir::toNativeSeparators(path));
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
