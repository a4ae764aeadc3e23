#include "OutputTestKit.h"
#include "output/PrintList.h"
#include "data/TDM1.h"
#include "output/RtfReport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace OutputTestKit;

namespace {

const QStringList kTwoTitles = {QStringLiteral("Фамилия"), QStringLiteral("Имя")};
const QStringList kTwoFields = {QStringLiteral("FAM"), QStringLiteral("NAME")};

// The worked example of the printed list: two columns, Иванов Иван and Ёлкин Пётр, meeting Март.
const char *const kExamplePieces[] = {
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans "
    "Serif;}{\\f1\\fnil\\fcharset2{\\*\\fname Symbol;}MT Symbol;}{\\f2\\fswiss\\fprq2 "
    "System;}{\\f3\\fnil\\fcharset204{\\*\\fname Times New Roman;}Times New Roman "
    "Cyr;}{\\f4\\froman\\fprq2\\fcharset204{\\*\\fname Times New Roman;}Times New Roman "
    "Cyr;}{\\f5\\fnil Times New Roman;}{\\f6\\froman\\fprq2 Times New "
    "Roman;}}{\\colortbl\\red0\\green0\\blue0;}",
    "\\deflang1033\\pard\\plain\\lang1049\\f3\\fs20 \\'d1\\'ef\\'e8\\'f1\\'ee\\'ea \\'e4\\'eb\\'ff "
    "\\'e7\\'e0\\'f1\\'e5\\'e4\\'e0\\'ed\\'e8\\'ff \\'ea\\'ee\\'ec\\'e8\\'f1\\'f1\\'e8\\'e8 "
    "\"\\'cc\\'e0\\'f0\\'f2\"",
    "\\par \\trowd \\trgaph108\\trleft-108",
    "\\clvertalt\\clbrdrt\\brdrs\\brdrw10 \\clbrdrl\\brdrs\\brdrw10 \\clbrdrb\\brdrs\\brdrw10 "
    "\\clbrdrr\\brdrs\\brdrw10 \\cltxlrtb \\cellx2804",
    "\\clvertalt\\clbrdrt\\brdrs\\brdrw10 \\clbrdrl\\brdrs\\brdrw10 \\clbrdrb\\brdrs\\brdrw10 "
    "\\clbrdrr\\brdrs\\brdrw10 \\cltxlrtb \\cellx5608",
    "\\clvertalt\\clbrdrt\\brdrs\\brdrw10 \\clbrdrl\\brdrs\\brdrw10 \\clbrdrb\\brdrs\\brdrw10 "
    "\\clbrdrr\\brdrs\\brdrw10 \\cltxlrtb \\cellx8412",
    "\\pard \\nowidctlpar\\widctlpar\\intbl\\adjustright \\'b9 \\'ef/\\'ef\\cell "
    "\\'d4\\'e0\\'ec\\'e8\\'eb\\'e8\\'ff\\cell \\'c8\\'ec\\'ff",
    "\\cell \\row 1\\cell \\'c8\\'e2\\'e0\\'ed\\'ee\\'e2\\cell \\'c8\\'e2\\'e0\\'ed",
    "\\cell \\row 2\\cell \\'a8\\'eb\\'ea\\'e8\\'ed\\cell \\'cf\\'b8\\'f2\\'f0",
    "\\cell \\row \\pard \\par }",
};

} // namespace

class TestRtfReport : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void escaping_data();
    void escaping();
    void cellEdges();
    void cellValues_data();
    void cellValues();
    void currentCardStays();
    void titleFormsNoMarker_data();
    void titleFormsNoMarker();
    void longListsInChunks_data();
    void longListsInChunks();

private:
    QByteArray fill(CardTable &t, const QStringList &titles, const QStringList &fields)
    {
        const QString path = m_dir.filePath(QStringLiteral("list.rtf"));
        FillRtfTemplate(MakeRtfTemplate(QStringLiteral("T"), titles), path, t, titles, fields);
        return CardFileTestKit::fileBytes(path);
    }

    QTemporaryDir m_dir;
};

void TestRtfReport::workedExample()
{
    CardTable t;
    addPerson(t, QStringLiteral("Иванов"), QStringLiteral("Иван"));
    addPerson(t, QStringLiteral("Ёлкин"), QStringLiteral("Пётр"));
    const QString path = m_dir.filePath(QStringLiteral("example.rtf"));
    FillRtfTemplate(MakeRtfTemplate(PrintListTitle(QStringLiteral("Март")), kTwoTitles), path, t,
                    kTwoTitles, kTwoFields);

    QByteArray expected;
    for (const char *piece : kExamplePieces)
        expected += piece;
    QCOMPARE(expected.size(), 1200);
    QCOMPARE(CardFileTestKit::fileBytes(path), expected);
}

void TestRtfReport::escaping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("backslash") << "a\\b" << QByteArray("a\\\\b");
    QTest::newRow("braces") << "{x}" << QByteArray("\\{x\\}");
    QTest::newRow("Ё ё №") << "Ёё№" << QByteArray("\\'a8\\'b8\\'b9");
    QTest::newRow("А and я") << "Ая" << QByteArray("\\'c0\\'ff");
    QTest::newRow("CR LF") << "a\r\nb" << QByteArray("a\\par \rb");
    QTest::newRow("lone LF") << "a\nb" << QByteArray("ab");
    QTest::newRow("other bytes pass") << "«x» 1-2 \"q\" [#]"
                                      << QByteArray("\xab"
                                                    "x\xbb 1-2 \"q\" [#]");
}

void TestRtfReport::escaping()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, rtf);
    QCOMPARE(RtfEscape(text), rtf);
}

void TestRtfReport::cellEdges()
{
    QStringList titles;
    for (int i = 0; i < 18; ++i)
        titles << QStringLiteral("c%1").arg(i);
    const QByteArray rtf = MakeRtfTemplate(QStringLiteral("T"), titles);
    QVERIFY(rtf.contains("\\cellx442\r\n"));
    QVERIFY(rtf.contains("\\cellx8398\r\n"));
    QVERIFY(!rtf.contains("\\cellx8840"));
    QVERIFY(rtf.endsWith("\\par }\r\n"));
}

void TestRtfReport::cellValues_data()
{
    QTest::addColumn<QString>("fam");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("row");
    // A surname that reads like the marker of another column stays in its own cell.
    QTest::newRow("value like a marker")
        << "[Имя]"
        << "x" << QByteArray("1\\cell [\\'c8\\'ec\\'ff]\\cell x\\cell \\row \\pard");
    QTest::newRow("blanks and controls at the ends")
        << "\t A B "
        << " c" << QByteArray("1\\cell A B\\cell c\\cell \\row \\pard");
}

void TestRtfReport::cellValues()
{
    QFETCH(QString, fam);
    QFETCH(QString, name);
    QFETCH(QByteArray, row);
    CardTable t;
    addPerson(t, QStringLiteral("A"), QStringLiteral("B"));
    t.edit();
    t.field(CardFields::FAM).setAsString(fam);
    t.field(CardFields::NAME).setAsString(name);
    t.post();
    QVERIFY2(fill(t, kTwoTitles, kTwoFields).contains(row), row.constData());
}

void TestRtfReport::currentCardStays()
{
    CardTable t;
    for (const char *fam : {"A", "B", "C"})
        addPerson(t, QString::fromLatin1(fam), QStringLiteral("N"));
    t.setSortField(QStringLiteral("FAM"));
    t.last();
    const QByteArray rtf = fill(t, kTwoTitles, kTwoFields);
    QVERIFY(rtf.contains("\\row 1\\cell A\\cell N\\cell \\row 2\\cell B"));
    QCOMPARE(t.currentRow(), 2);
}

// A meeting's name that reads like a marker is printed as it is, and every card gets its row.
void TestRtfReport::titleFormsNoMarker_data()
{
    QTest::addColumn<QString>("meeting");
    QTest::newRow("block") << "Март [_] 2";
    QTest::newRow("number") << "[#]";
    QTest::newRow("column") << "Март [Фамилия]";
}

void TestRtfReport::titleFormsNoMarker()
{
    QFETCH(QString, meeting);
    CardTable t;
    addPerson(t, QStringLiteral("Иванов"), QStringLiteral("Иван"));
    addPerson(t, QStringLiteral("Ёлкин"), QStringLiteral("Пётр"));
    const QString path = m_dir.filePath(QStringLiteral("title.rtf"));
    FillRtfTemplate(MakeRtfTemplate(PrintListTitle(meeting), kTwoTitles), path, t, kTwoTitles,
                    kTwoFields);
    const QByteArray rtf = CardFileTestKit::fileBytes(path);
    QByteArray title = RtfEscape(PrintListTitle(meeting));
    title.replace('[', "\\'5b");
    QVERIFY2(rtf.contains("\\fs20 " + title + "\\par "), rtf.constData());
    QVERIFY2(rtf.contains("\\row 1\\cell " + RtfEscape(QStringLiteral("Иванов"))), rtf.constData());
    QVERIFY2(rtf.endsWith("\\cell \\row 2\\cell " + RtfEscape(QStringLiteral("Ёлкин")) + "\\cell " +
                          RtfEscape(QStringLiteral("Пётр")) + "\\cell \\row \\pard \\par }"),
             rtf.constData());
}

// A long list is made in chunks of rows, several at a time: every row comes once, in order, with
// the texts the list shows (a stored text, a date and time, a calculated text).
void TestRtfReport::longListsInChunks_data()
{
    QTest::addColumn<int>("cards");
    for (const int cards : {1, 4096, 4097, 16385})
        QTest::addRow("%d", cards) << cards;
}

void TestRtfReport::longListsInChunks()
{
    QFETCH(int, cards);
    TDM1 dm;
    CardTable &t = dm.cdsQor();
    for (int i = 0; i < cards; ++i) {
        addPerson(t, QStringLiteral("Фамилия%1").arg(i), QStringLiteral("И"), i % 3 ? 1 : 2);
        t.edit();
        t.field(CardFields::CHANGEDATE).setAsFloat(40000 + i * 0.37);
        t.post();
    }
    const QStringList titles = {"Ф", "Дата", "Тип"};
    const QStringList fields = {"FAM", "CHANGEDATE", "C_FTYPE"};
    QByteArray expected;
    for (int row = 0; row < cards; ++row) {
        expected += "\\cell \\row " + QByteArray::number(row + 1);
        for (const QString &field : fields)
            expected += "\\cell " + RtfEscape(t.text(row, CardFields::indexOf(field)));
    }
    expected += "\\cell \\row \\pard \\par }";
    const QByteArray rtf = fill(t, titles, fields);
    QCOMPARE(rtf.mid(rtf.indexOf("\\cell \\row 1\\cell ")), expected);
}

QTEST_GUILESS_MAIN(TestRtfReport)
#include "tst_rtfreport.moc"
