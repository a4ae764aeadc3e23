#include "CardFileTestKit.h"
#include "data/CardTextCodec.h"
#include "data/CardTextFormat.h"
#include "data/ReferenceLists.h"
#include "platform/BusyCursor.h"
#include "platform/Clock.h"
#include "platform/QorError.h"
#include "support/Failures.h"
#include "support/ScriptedDialogs.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using namespace CardFileTestKit;

namespace {

const QStringList kExampleLines = {"<QOR>",
                                   "[1]",
                                   "@FTYPE=1",
                                   "@PODKOM=404",
                                   "@CHANGEDATE=42809-60417",
                                   "@FAM=ОБРАЗЦОВА",
                                   "@NAME=АННА",
                                   "@OTCH=СЕРГЕЕВНА",
                                   "@FAM2=ОБРАЗЦОВОЙ",
                                   "@NAME2=АННЕ",
                                   "@OTCH2=СЕРГЕЕВНЕ",
                                   "@SPEC=2011.27",
                                   "@LPU=600066",
                                   "@DOL=24",
                                   "@CAT=1",
                                   "@CATDATE=41011-00000",
                                   "@CATNUM=245-к",
                                   "@DECLCAT=ВЫС",
                                   "@RESOL=1",
                                   ""};

QString writeError(CardTable &t, const QString &path)
{
    try {
        WriteCards(t, ReferenceLists(), path);
    } catch (const QorError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestCardTextFormat : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void emptyTable();
    void filterAndOrder();
    void tabKeyAndEmptyText();
    void lineBreaksInTexts();
    void listTestStops_data();
    void listTestStops();
    void longMeetingsInChunks_data();
    void longMeetingsInChunks();
    void listTestsIgnoreCaseAndCardType();
    void unencodableTextTouchesNoFile();
    void writeFailureIsReported();
    void dayNumbers_data();
    void dayNumbers();
    void dayNumbersIgnoreLocale();
    void orderAfterBulkPosts();

private:
    QTemporaryDir m_dir;
};

void TestCardTextFormat::workedExample()
{
    CardTable t;
    addCard(t, exampleCard());
    const QString path = m_dir.filePath(QStringLiteral("example.dat"));
    QCOMPARE(WriteCards(t, ReferenceLists(), path), 1);

    const QByteArray bytes = fileBytes(path);
    QCOMPARE(bytes, crlfLines(kExampleLines));
    // The surname in Windows-1251 bytes, not in UTF-8.
    QVERIFY(bytes.contains("\r\n@FAM=\xce\xc1\xd0\xc0\xc7\xd6\xce\xc2\xc0\r\n"));

    CardTable back;
    QCOMPARE(ReadCards(back, path), 0);
    QCOMPARE(back.count(), 1);
    back.first();
    QCOMPARE(describe(back, 0), describe(t, 0));
    QVERIFY(!back.field(CardFields::JOB).hasValue());
    QCOMPARE(back.field(CardFields::CHANGEDATE).asDayNumber(), 42809.60417);
    QCOMPARE(Clock::fromDayNumber(back.field(CardFields::CHANGEDATE).asDayNumber()),
             QDateTime(QDate(2017, 3, 15), QTime(14, 30, 0, 288), Qt::UTC));
    QCOMPARE(back.field(CardFields::CATDATE).asDayNumber(), 41011.0);
}

void TestCardTextFormat::emptyTable()
{
    CardTable t;
    const QString path = m_dir.filePath(QStringLiteral("empty.dat"));
    QVERIFY(putFile(path, QByteArray(500, 'x'))); // replaced, not overlaid
    QCOMPARE(WriteCards(t, ReferenceLists(), path), 0);
    QCOMPARE(fileBytes(path), QByteArray("<QOR>\r\n"));
    QCOMPARE(ReadCards(t, path), 0);
    QCOMPARE(t.totalCount(), 0);
}

void TestCardTextFormat::filterAndOrder()
{
    CardTable t;
    addCard(t, validCard("ВТОРОВ", {{CardFields::FTYPE, "2"}}));
    addCard(t, validCard("АНИСИМОВ", {{CardFields::FTYPE, "1"}, {CardFields::DOL, "?"}}));
    addCard(t, validCard("ДЕНИСОВ", {{CardFields::FTYPE, "2"}}));
    addCard(t, validCard("БОРИСОВ", {{CardFields::FTYPE, "2"}}));
    t.setSortField(QStringLiteral("FAM"));
    t.setFilter(QStringLiteral("FTYPE=2"));
    t.first();
    t.next();
    const CardTable::Bookmark current = t.bookmark();

    // The hidden card is not written, so its unknown position stops nothing.
    const QString path = m_dir.filePath(QStringLiteral("filtered.dat"));
    QCOMPARE(WriteCards(t, ReferenceLists(), path), 3);
    QCOMPARE(t.bookmark(), current);
    QVERIFY(!t.viewUpdatesSuppressed());
    QCOMPARE(BusyCursor::depth(), 0);

    QStringList outline;
    const QList<QByteArray> lines = fileBytes(path).split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith('[') || line.startsWith("@FAM="))
            outline << Cp1251::decode(line.chopped(1));
    }
    QCOMPARE(outline,
             (QStringList{"[1]", "@FAM=БОРИСОВ", "[2]", "@FAM=ВТОРОВ", "[3]", "@FAM=ДЕНИСОВ"}));
}

void TestCardTextFormat::tabKeyAndEmptyText()
{
    CardTable t;
    addCard(t, validCard("ТАБОВ", {{CardFields::LPU, "84\t"}, {CardFields::JOB, "   "}}));
    QCOMPARE(t.text(0, CardFields::LPU), QStringLiteral("84\t"));
    QVERIFY(t.hasValue(0, CardFields::JOB)); // blanks make the empty text, a value
    const QString path = m_dir.filePath(QStringLiteral("tab.dat"));
    WriteCards(t, ReferenceLists(), path);
    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.contains("\r\n@LPU=84\t\r\n@JOB=\r\n@DOL=24\r\n"));

    CardTable back;
    QCOMPARE(ReadCards(back, path), 0);
    QCOMPARE(back.text(0, CardFields::LPU), QStringLiteral("84\t"));
    QVERIFY(!back.hasValue(0, CardFields::JOB)); // the empty text comes back as no value
}

void TestCardTextFormat::lineBreaksInTexts()
{
    CardTable t;
    addCard(t, validCard("ПЕРЕНОСОВ", {{CardFields::JOB, "отделение\r\nпалата 5"},
                                       {CardFields::CATNUM, "№#13#10typed"},
                                       {CardFields::NAME, "lone\nLF"},
                                       {CardFields::OTCH, "lone\rCR"}}));
    const QString path = m_dir.filePath(QStringLiteral("breaks.dat"));
    WriteCards(t, ReferenceLists(), path);
    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.contains(cp1251("\r\n@JOB=отделение#13#10палата 5\r\n")));
    QVERIFY(bytes.contains(cp1251("\r\n@CATNUM=№#13#10typed\r\n")));

    CardTable back;
    QCOMPARE(ReadCards(back, path), 0);
    QCOMPARE(back.text(0, CardFields::JOB), QStringLiteral("отделение\r\nпалата 5"));
    // Six characters typed by the user read back as a line break: the format cannot tell.
    QCOMPARE(back.text(0, CardFields::CATNUM), QStringLiteral("№\r\ntyped"));
    // A lone LF or CR, pasted from another program, is a line break the file keeps too.
    QCOMPARE(back.text(0, CardFields::NAME), QStringLiteral("lone\r\nLF"));
    QCOMPARE(back.text(0, CardFields::OTCH), QStringLiteral("lone\r\nCR"));

    // A card edited in another field keeps its breaks as "#13#10" in the next file.
    t.edit();
    t.field(CardFields::CATNUM).setAsString(QStringLiteral("1"));
    t.post();
    WriteCards(t, ReferenceLists(), path);
    QVERIFY(fileBytes(path).contains(cp1251("\r\n@JOB=отделение#13#10палата 5\r\n")));
}

void TestCardTextFormat::listTestStops_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("position") << int(CardFields::DOL) << "999"
                              << "Для \"ТРЕТЬЯКОВ\" нужно выбрать должность из нового перечня!";
    QTest::newRow("specialty")
        << int(CardFields::SPEC) << "1.1"
        << "Для \"ТРЕТЬЯКОВ\" нужно выбрать специальность из нового перечня!";
    QTest::newRow("subcommission")
        << int(CardFields::PODKOM) << "601"
        << "Для \"ТРЕТЬЯКОВ\" нужно выбрать подкомиссию из нового перечня!";
    // The subcommission is tested first, the specialty second.
    QTest::newRow("all three") << -1 << ""
                               << "Для \"ТРЕТЬЯКОВ\" нужно выбрать подкомиссию из нового перечня!";
}

void TestCardTextFormat::listTestStops()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    CardTable t;
    addCard(t, validCard("ПЕРВОВ"));
    addCard(t, validCard("ВТОРОВ"));
    Values third = field >= 0 ? Values{{field, value}}
                              : Values{{CardFields::DOL, "999"},
                                       {CardFields::SPEC, "1.1"},
                                       {CardFields::PODKOM, "601"}};
    addCard(t, validCard("ТРЕТЬЯКОВ", third));
    addCard(t, validCard("ЧЕТВЕРТАКОВ"));
    t.first();
    t.next();
    const CardTable::Bookmark current = t.bookmark();

    const QString path = m_dir.filePath(QStringLiteral("stopped.dat"));
    QCOMPARE(writeError(t, path), message);
    QCOMPARE(t.bookmark(), current);
    QVERIFY(!t.viewUpdatesSuppressed());
    QCOMPARE(BusyCursor::depth(), 0);

    // The magic line and the two complete blocks before the failing card, nothing of it.
    CardTable two;
    addCard(two, validCard("ПЕРВОВ"));
    addCard(two, validCard("ВТОРОВ"));
    const QString expected = m_dir.filePath(QStringLiteral("two.dat"));
    QCOMPARE(WriteCards(two, ReferenceLists(), expected), 2);
    QCOMPARE(fileBytes(path), fileBytes(expected));
}

// A long meeting is written in chunks of cards made several at a time: every card comes once, in
// order and numbered, up to the card the list tests refuse, wherever that falls.
void TestCardTextFormat::longMeetingsInChunks_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("refused");
    QTest::newRow("one chunk") << 4096 << -1;
    QTest::newRow("a card more") << 4097 << -1;
    QTest::newRow("refused in the second chunk") << 12289 << 5000;
    QTest::newRow("refused first of a chunk") << 9000 << 4096;
}

void TestCardTextFormat::longMeetingsInChunks()
{
    QFETCH(int, cards);
    QFETCH(int, refused);
    CardTable t;
    for (int i = 0; i < cards; ++i) {
        addCard(t, validCard(QStringLiteral("Ф%1").arg(i),
                             i == refused ? Values{{CardFields::DOL, "999"}} : Values{}));
    }
    const QString path = m_dir.filePath(QStringLiteral("long.dat"));
    const bool refusedOne = !writeError(t, path).isEmpty();
    QCOMPARE(refusedOne, refused >= 0);
    const int written = refused >= 0 ? refused : cards;
    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.startsWith("<QOR>\r\n[1]\r\n"));
    QCOMPARE(bytes.count("\r\n["), written);
    QVERIFY(bytes.contains(QByteArray("\r\n[") + QByteArray::number(written) + "]\r\n"));
    CardTable back;
    ReadCards(back, path);
    QCOMPARE(back.totalCount(), written);
    for (int row = 0; row < written; ++row)
        QCOMPARE(back.text(row, CardFields::FAM), QStringLiteral("Ф%1").arg(row));
}

void TestCardTextFormat::listTestsIgnoreCaseAndCardType()
{
    CardTable t;
    // A mid-level specialty on a doctor's card, a position key in another letter case.
    addCard(t, validCard("СРЕДНЕВ", {{CardFields::FTYPE, "1"},
                                     {CardFields::SPEC, "2011.103"},
                                     {CardFields::DOL, "АК"}}));
    // The education variant's subcommissions are a list of their own.
    const QString path = m_dir.filePath(QStringLiteral("case.dat"));
    QCOMPARE(WriteCards(t, ReferenceLists(Variant::Normal), path), 1);
    t.first();
    t.edit();
    t.field(CardFields::PODKOM).setAsInteger(601);
    t.post();
    QCOMPARE(WriteCards(t, ReferenceLists(Variant::EducationSocial), path), 1);
    QCOMPARE(writeError(t, path),
             QStringLiteral("Для \"СРЕДНЕВ\" нужно выбрать подкомиссию из нового перечня!"));
    // A card that passed is tested again once a value changed.
    t.edit();
    t.field(CardFields::DOL).setAsString(QStringLiteral("999"));
    t.post();
    QCOMPARE(
        Failures::errorOf([&] { WriteCards(t, ReferenceLists(Variant::EducationSocial), path); }),
        QStringLiteral("Для \"СРЕДНЕВ\" нужно выбрать должность из нового перечня!"));
}

void TestCardTextFormat::unencodableTextTouchesNoFile()
{
    // A letter the code page cannot hold never gets into a card, so the meeting stays savable.
    CardTable t;
    t.append();
    QVERIFY_THROWS_EXCEPTION(QorError, t.field(CardFields::FAM).setAsString("ΩМЕГА"));
    t.cancel();
    addCard(t, validCard("ОМЕГА"));
    const QString path = m_dir.filePath(QStringLiteral("omega.dat"));
    QVERIFY(putFile(path, "old"));
    QCOMPARE(writeError(t, path), QString());
    QVERIFY(fileBytes(path).contains(cp1251("@FAM=ОМЕГА")));
    QCOMPARE(BusyCursor::depth(), 0);
}

void TestCardTextFormat::writeFailureIsReported()
{
    CardTable t;
    addCard(t, validCard("ПАПКИН"));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.dat")));
    QCOMPARE(writeError(t, m_dir.filePath(QStringLiteral("folder.dat"))),
             QStringLiteral("В доступе к файлу отказано"));
    QCOMPARE(writeError(t, m_dir.filePath(QStringLiteral("none/x.dat"))),
             QStringLiteral("Неверное имя файла"));
    QVERIFY(!t.viewUpdatesSuppressed());
    QCOMPARE(BusyCursor::depth(), 0);
}

void TestCardTextFormat::dayNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("14:30") << 42809.0 + 14.5 / 24 << "42809-60417";
    QTest::newRow("whole day") << 41011.0 << "41011-00000";
    QTest::newRow("zero") << 0.0 << "0-00000";
    QTest::newRow("tie rounds up") << 42809.015625 << "42809-01563";
    QTest::newRow("small") << 0.000004 << "0-00000";
    QTest::newRow("ten digits") << 123456.123456 << "123456-12350";
    QTest::newRow("carry") << 99999.999996 << "100000-00000";
    QTest::newRow("negative") << -1.5 << "-1-50000";
    QTest::newRow("ten digits at most") << 2958465.99999 << "2958466-00000";
}

void TestCardTextFormat::dayNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(CardTextCodec::formatDayNumber(value), text);
}

void TestCardTextFormat::dayNumbersIgnoreLocale()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); // decimal comma
    CardTable t;
    addCard(t, exampleCard());
    const QString path = m_dir.filePath(QStringLiteral("locale.dat"));
    WriteCards(t, ReferenceLists(), path);
    CardTable back;
    QCOMPARE(ReadCards(back, path), 0);
    QLocale::setDefault(saved);
    QVERIFY(fileBytes(path).contains("\r\n@CHANGEDATE=42809-60417\r\n"));
    QCOMPARE(back.text(0, CardFields::CHANGEDATE), t.text(0, CardFields::CHANGEDATE));
}

// Cards posted while the views are suppressed, with a sort field set, are written in the
// table's order all the same.
void TestCardTextFormat::orderAfterBulkPosts()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("order.dat");
    CardTable t;
    t.setSortField("FAM");
    {
        ScopedViewUpdates quiet(t);
        addCard(t, validCard("ВТОРОЙ"));
        addCard(t, validCard("ПЕРВЫЙ"));
        addCard(t, validCard("АНДРЕЕВ"));
        QCOMPARE(WriteCards(t, ReferenceLists(), file), 3);
    }
    const QByteArray bytes = fileBytes(file);
    const qsizetype a = bytes.indexOf(cp1251("@FAM=АНДРЕЕВ"));
    const qsizetype b = bytes.indexOf(cp1251("@FAM=ВТОРОЙ"));
    const qsizetype c = bytes.indexOf(cp1251("@FAM=ПЕРВЫЙ"));
    QVERIFY(a > 0 && a < b && b < c);
}

QTEST_GUILESS_MAIN(TestCardTextFormat)
#include "tst_cardtextformat.moc"
