#include "CardFileTestKit.h"
#include "data/CardTextFormat.h"
#include "data/ReferenceLists.h"
#include "platform/BusyCursor.h"
#include "platform/QorError.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>
#include <QTest>

using namespace CardFileTestKit;

namespace {

const QString kCaption = QStringLiteral("Ошибка при чтении данных из файла");

// The lines of one complete card, valid for the table; FAM given.
QStringList cardLines(const QString &header, const QString &fam)
{
    return {header,        "@FTYPE=2",   "@PODKOM=404",   "@CHANGEDATE=42809-5",
            "@FAM=" + fam, "@NAME=И",    "@OTCH=О",       "@FAM2=Ф",
            "@NAME2=И",    "@OTCH2=О",   "@SPEC=2011.27", "@LPU=600066",
            "@DOL=24",     "@DECLCAT=1", "@RESOL=1",      ""};
}

} // namespace

class TestCardTextReader : public QObject
{
    Q_OBJECT

private slots:
    void invalidFiles_data();
    void invalidFiles();
    void missingFile();
    void lineEndings_data();
    void lineEndings();
    void headerLines();
    void emptyCardIsRefusedOnce();
    void fieldLines();
    void refusedCardBetweenGoodOnes();
    void decodingByType_data();
    void decodingByType();
    void texts();
    void badInput_data();
    void badInput();
    void thousandsOfHeaders();

private:
    QString file(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1.dat").arg(++m_files));
        putFile(path, bytes);
        return path;
    }
    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestCardTextReader::invalidFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blank after magic") << QByteArray("<QOR> \r\n[1]\r\n");
    QTest::newRow("lower case") << QByteArray("<qor>\r\n");
    QTest::newRow("empty first line") << QByteArray("\r\n<QOR>\r\n");
    QTest::newRow("utf-8 mark") << QByteArray("\xef\xbb\xbf<QOR>\r\n");
    QTest::newRow("garbage") << QByteArray("\x00\x01\xff\xfe<QOR>", 9);
}

void TestCardTextReader::invalidFiles()
{
    QFETCH(QByteArray, bytes);
    CardTable t;
    addCard(t, validCard("ОСТАЮЩИЙСЯ"));
    const QString path = file(bytes);
    try {
        ReadCards(t, path);
        QFAIL("the file was taken");
    } catch (const QorError &e) {
        QCOMPARE(e.message(),
                 QStringLiteral("Файл \"%1\" не является правильным файлом данных!").arg(path));
    }
    QCOMPARE(t.totalCount(), 1); // nothing added, nothing removed
    QVERIFY(!t.viewUpdatesSuppressed());
    QCOMPARE(BusyCursor::depth(), 0);
}

void TestCardTextReader::missingFile()
{
    CardTable t;
    try {
        ReadCards(t, m_dir.filePath(QStringLiteral("none.dat")));
        QFAIL("a missing file was read");
    } catch (const QorFileError &e) {
        QCOMPARE(e.message(), QStringLiteral("Файл не найден"));
    }
    QCOMPARE(BusyCursor::depth(), 0);
}

void TestCardTextReader::lineEndings_data()
{
    QTest::addColumn<QByteArray>("separator");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR") << QByteArray("\r");
    QTest::newRow("LF CR") << QByteArray("\n\r"); // an empty line between every two
}

void TestCardTextReader::lineEndings()
{
    QFETCH(QByteArray, separator);
    const QStringList lines =
        QStringList{"<QOR>"} + cardLines("[1]", "ИВАНОВ") + cardLines("[2]", "ПЕТРОВ");
    QByteArray bytes = cp1251(lines.join(QLatin1Char('\x01'))).replace('\x01', separator);
    CardTable t;
    QCOMPARE(ReadCards(t, file(bytes)), 0);
    QCOMPARE(t.count(), 2);
    QCOMPARE(t.text(1, CardFields::FAM), QStringLiteral("ПЕТРОВ"));
    // No line break after the last line: the last field is still read.
    bytes = cp1251("<QOR>\r\n" + cardLines("[1]", "СИДОРОВ").mid(0, 15).join("\r\n"));
    QVERIFY(bytes.endsWith("@RESOL=1"));
    CardTable u;
    QCOMPARE(ReadCards(u, file(bytes)), 0);
    QCOMPARE(u.text(0, CardFields::RESOL), QStringLiteral("1"));
}

void TestCardTextReader::headerLines()
{
    ScriptedDialogs dialogs;
    // "[]" is no header: its lines belong to the card before. Lines before the first header
    // belong to no card.
    const QStringList lines = QStringList{"<QOR>", "@FAM=НИЧЕЙ", "[]"} +
                              cardLines("[whatever]", "ПЕРВЫЙ") + QStringList{"[]", "@JOB=тоже"} +
                              cardLines("[ 7 ]", "ВТОРОЙ") + QStringList{"<QOR>", "мусор"} +
                              cardLines("[x", "НЕТ").mid(1);
    CardTable t;
    QCOMPARE(ReadCards(t, file(crlfLines(lines))), 0);
    QCOMPARE(t.count(), 2);
    QCOMPARE(t.text(0, CardFields::FAM), QStringLiteral("ПЕРВЫЙ"));
    QCOMPARE(t.text(0, CardFields::JOB), QStringLiteral("тоже"));
    QCOMPARE(t.text(1, CardFields::FAM), QStringLiteral("ВТОРОЙ")); // first line of FAM wins
    dialogs.verifyDone();
}

void TestCardTextReader::emptyCardIsRefusedOnce()
{
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    CardTable t;
    QCOMPARE(ReadCards(t, file("<QOR>\r\n[1]\r\n")), 1);
    QCOMPARE(t.totalCount(), 0);
    QCOMPARE(t.state(), CardTable::State::Browse);
    QCOMPARE(dialogs.log().size(), 1);
    QCOMPARE(dialogs.log().at(0).caption, kCaption);
    QCOMPARE(dialogs.log().at(0).text,
             QStringLiteral("Поле 'Врач или средний медработник' должно иметь значение"));
    QCOMPARE(dialogs.log().at(0).icon, Dialogs::Icon::Warning);
    QCOMPARE(dialogs.log().at(0).buttons, Dialogs::Buttons::Ok);
    dialogs.verifyDone();
}

void TestCardTextReader::fieldLines()
{
    ScriptedDialogs dialogs;
    QStringList card = cardLines("[1]", "ИВАНОВ");
    card[4] = "@fam=иванов";         // lower-case name
    card.insert(5, "@FAM=ДРУГОЙ");   // the first line of a field wins
    card.insert(5, "@JOB=a=b-[c]");  // everything after the first "="
    card.insert(5, "@JOB");          // no "=": no field
    card.insert(5, "@C_FTYPE=Врач"); // calculated fields are never read
    card.insert(5, "@CATNUM =1");    // a blank before "=" names no field
    card.insert(5, " @CAT=1");       // nor one before "@"
    card.insert(5, "@CA=1");         // nor the start of a name

    card.insert(5, QStringLiteral("@CAT") + QChar(0) + "=1"); // nor a NUL after the name
    CardTable t;
    QCOMPARE(ReadCards(t, file(crlfLines(QStringList{"<QOR>"} + card))), 0);
    QCOMPARE(t.text(0, CardFields::FAM), QStringLiteral("иванов"));
    QCOMPARE(t.text(0, CardFields::JOB), QStringLiteral("a=b-[c]"));
    QVERIFY(!t.hasValue(0, CardFields::CATNUM));
    QVERIFY(!t.hasValue(0, CardFields::CAT));

    dialogs.expectMessage();
    card = cardLines("[1]", "X");
    card[4] = "@FAM =ИВАНОВ";
    QCOMPARE(ReadCards(t, file(crlfLines(QStringList{"<QOR>"} + card))), 1);
    QCOMPARE(dialogs.log().at(0).text, QStringLiteral("Поле 'Фамилия' должно иметь значение"));
    dialogs.verifyDone();
}

void TestCardTextReader::refusedCardBetweenGoodOnes()
{
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    QStringList middle = cardLines("[2]", "");
    middle.removeAt(4);
    CardTable t;
    const QStringList lines =
        QStringList{"<QOR>"} + cardLines("[1]", "ПЕРВЫЙ") + middle + cardLines("[3]", "ТРЕТИЙ");
    QCOMPARE(ReadCards(t, file(crlfLines(lines))), 1);
    QCOMPARE(t.count(), 2);
    QCOMPARE(t.text(1, CardFields::FAM), QStringLiteral("ТРЕТИЙ"));
    QCOMPARE(dialogs.log().at(0).text, QStringLiteral("Поле 'Фамилия' должно иметь значение"));
    dialogs.verifyDone();
}

void TestCardTextReader::decodingByType_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("expected"); // "-" for no value
    using namespace CardFields;
    QTest::newRow("integer") << "@PODKOM=405" << int(PODKOM) << "405";
    QTest::newRow("leading zeros") << "@PODKOM=0405" << int(PODKOM) << "405";
    QTest::newRow("negative") << "@PODKOM=-405" << int(PODKOM) << "-";
    QTest::newRow("not a number") << "@PODKOM=четыре" << int(PODKOM) << "-";
    QTest::newRow("fraction") << "@PODKOM=4-5" << int(PODKOM) << "-";
    QTest::newRow("too large") << "@PODKOM=99999999999" << int(PODKOM) << "-";
    QTest::newRow("empty integer") << "@PODKOM=" << int(PODKOM) << "-";
    QTest::newRow("date") << "@CATDATE=41011-00000" << int(CATDATE) << "41011-00000";
    QTest::newRow("date keeps the day") << "@CATDATE=41011-75" << int(CATDATE) << "41011-00000";
    QTest::newRow("date zero") << "@CATDATE=0-00000" << int(CATDATE) << "-";
    QTest::newRow("date negative") << "@CATDATE=-5-00000" << int(CATDATE) << "-";
    QTest::newRow("date text") << "@CATDATE=12.04.2012" << int(CATDATE) << "-";
    QTest::newRow("date below a day") << "@CATDATE=0-5" << int(CATDATE) << "-";
    QTest::newRow("date infinite") << "@CATDATE=inf" << int(CATDATE) << "-";
    QTest::newRow("date past 9999") << "@CATDATE=2958466" << int(CATDATE) << "-";
    QTest::newRow("time") << "@CHANGEDATE=42809-604166666" << int(CHANGEDATE) << "42809-60417";
    QTest::newRow("time, no point") << "@CHANGEDATE=42809" << int(CHANGEDATE) << "42809-00000";
    QTest::newRow("time too small to hold") << "@CHANGEDATE=0-000001" << int(CHANGEDATE) << "-";
    QTest::newRow("text") << "@JOB=  отдел  " << int(JOB) << "  отдел";
    QTest::newRow("text TAB") << "@LPU=84\t" << int(LPU) << "84\t";
    QTest::newRow("text cut") << "@DOL=123456" << int(DOL) << "123";
    QTest::newRow("text blanks") << "@JOB=   " << int(JOB) << "-";
    QTest::newRow("text empty") << "@JOB=" << int(JOB) << "-";
}

void TestCardTextReader::decodingByType()
{
    QFETCH(QString, line);
    QFETCH(int, field);
    QFETCH(QString, expected);
    ScriptedDialogs dialogs;
    const bool required = CardFields::def(field).required;
    if (expected == "-" && required)
        dialogs.expectMessage();
    QStringList card = cardLines("[1]", "ИВАНОВ");
    const QString name = QString::fromLatin1(CardFields::def(field).name);
    card.removeIf([&](const QString &l) { return l.startsWith("@" + name + "="); });
    card.insert(1, line);
    CardTable t;
    QCOMPARE(ReadCards(t, file(crlfLines(QStringList{"<QOR>"} + card))),
             expected == "-" && required ? 1 : 0);
    if (expected == "-" && required) {
        dialogs.verifyDone();
        return;
    }
    const QString got =
        describe(t, 0).split(u'\n').filter(QRegularExpression("^" + name + "[ =]")).value(0);
    QCOMPARE(got, expected == "-" ? name + " -" : name + "=" + expected);
    dialogs.verifyDone();
}

void TestCardTextReader::texts()
{
    QStringList card = cardLines("[1]", "ИВАНОВ");
    card.insert(1, "@JOB=a#13#10b#13#10");
    card.insert(1, "@CATNUM=" + QString(19, u'x') + "#13#10"); // cut inside the pair
    card.insert(1, "@NAME=" + QString(100000, u'Я'));          // a long line
    CardTable t;
    QCOMPARE(ReadCards(t, file(crlfLines(QStringList{"<QOR>"} + card))), 0);
    QCOMPARE(t.text(0, CardFields::JOB), QStringLiteral("a\r\nb\r\n"));
    QCOMPARE(t.text(0, CardFields::CATNUM), QString(19, u'x')); // never a lone CR
    QCOMPARE(t.text(0, CardFields::NAME), QString(40, u'Я'));
}

void TestCardTextReader::badInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("refused");
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte.append(char(b));
    QTest::newRow("binary after magic") << QByteArray("<QOR>\r\n") + everyByte + everyByte << 0;
    QTest::newRow("huge line") << QByteArray("<QOR>\r\n") + QByteArray(20 * 1024 * 1024, 'A') << 0;
    QTest::newRow("huge header") << QByteArray("<QOR>\r\n[") + QByteArray(1024 * 1024, '1') + "]"
                                 << 1;
    QTest::newRow("NUL bytes") << QByteArray("<QOR>\r\n[1]\r\n@FAM=\0\0\r\n", 20) << 1;
    QTest::newRow("no equals sign") << QByteArray("<QOR>\r\n[1]\r\n@FTYPE1\r\n@PODKOM\r\n") << 1;
    QTest::newRow("only breaks") << QByteArray("<QOR>") + QByteArray(100000, '\r') << 0;
}

void TestCardTextReader::badInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, refused);
    ScriptedDialogs dialogs;
    for (int i = 0; i < refused; ++i)
        dialogs.expectMessage();
    CardTable t;
    QCOMPARE(ReadCards(t, file(bytes)), refused);
    QCOMPARE(t.totalCount(), 0);
    dialogs.verifyDone();
}

void TestCardTextReader::thousandsOfHeaders()
{
    // Each header begins a card; each empty card is refused and reported: the reader goes on.
    QByteArray bytes("<QOR>\r\n");
    for (int i = 0; i < 5000; ++i)
        bytes += "[" + QByteArray::number(i) + "]\r\n";
    bytes += cp1251(cardLines("[last]", "ПОСЛЕДНИЙ").join("\r\n"));
    int boxes = 0;
    class Counting : public ScriptedDialogs
    {
    public:
        explicit Counting(int &n) : m_n(n) {}
        Answer message(const QString &, const QString &, Icon, Buttons) override
        {
            ++m_n;
            return Answer::Ok;
        }

    private:
        int &m_n;
    } dialogs(boxes);
    CardTable t;
    QCOMPARE(ReadCards(t, file(bytes)), 5000);
    QCOMPARE(boxes, 5000);
    QCOMPARE(t.count(), 1);
}

QTEST_GUILESS_MAIN(TestCardTextReader)
#include "tst_cardtextreader.moc"
