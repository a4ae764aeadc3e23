#include "platform/IniDocument.h"

#include <QTest>

// The text form of the settings file: what a user reads and edits, and what must come back.
class TstIniDocument : public QObject
{
    Q_OBJECT

private slots:
    void writtenForms_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        // Plain texts stand as they are, Cyrillic and backslashes included.
        QTest::newRow("path") << "path"
                              << "Software\\VELNOR\\Ордана 2017"
                              << "Software\\VELNOR\\Ордана 2017";
        QTest::newRow("value with = and ;") << "value"
                                            << "@JOB=каб. 5; этаж 2"
                                            << "@JOB=каб. 5; этаж 2";
        QTest::newRow("windows path") << "value"
                                      << "C:\\Ордана\\new"
                                      << "C:\\Ордана\\new";
        QTest::newRow("inner quotes") << "value"
                                      << "ГБУЗ \"ГБ №1\""
                                      << "ГБУЗ \"ГБ №1\"";
        QTest::newRow("default value") << "name"
                                       << ""
                                       << "@";
        QTest::newRow("dotted name") << "name"
                                     << "DBGridEh1.FAM"
                                     << "DBGridEh1.FAM";
        // Only what would not read back is quoted.
        QTest::newRow("name @") << "name"
                                << "@"
                                << "\"@\"";
        QTest::newRow("name with =") << "name"
                                     << "a=b"
                                     << "\"a=b\"";
        QTest::newRow("name like section") << "name"
                                           << "[a]"
                                           << "\"[a]\"";
        QTest::newRow("name like comment") << "name"
                                           << "#a"
                                           << "\"#a\"";
        QTest::newRow("leading quote") << "value"
                                       << "\"Рога\" и копыта"
                                       << "\"\\\"Рога\\\" и копыта\"";
        QTest::newRow("newline") << "value"
                                 << "a\nb\\c"
                                 << "\"a\\nb\\\\c\"";
        QTest::newRow("outer blank") << "value"
                                     << " a"
                                     << "\" a\"";
        QTest::newRow("control") << "value" << QString("a\x01") << "\"a\\x01\"";
        QTest::newRow("unpaired surrogate") << "value" << QString(QChar(0xDC00)) << "\"\\uDC00\"";
        QTest::newRow("path with blank at end") << "path"
                                                << "Soft "
                                                << "\"Soft \"";
    }
    void writtenForms()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QString, written);
        const QString form = kind == "path"   ? IniDocument::pathText(text)
                             : kind == "name" ? IniDocument::nameText(text)
                                              : IniDocument::valueText(text);
        QCOMPARE(form, written);

        // And it reads back exactly.
        IniDocument doc;
        const QString path = kind == "path" ? text : QStringLiteral("K");
        const QString name = kind == "name" ? text : QStringLiteral("N");
        const QString value = kind == "value" ? text : QStringLiteral("V");
        doc.setValue(path, name, value);
        const IniDocument back = IniDocument::parse(doc.toBytes());
        QCOMPARE(back.firstDamagedLine(), 0);
        QVERIFY(back.value(path, name));
        QCOMPARE(*back.value(path, name), value);
    }

    void handEditedForms()
    {
        const QByteArray text = "; a comment\n"
                                "# another\n"
                                "top=level\n"
                                "[ Software\\\\VELNOR\\Ордана 2017\\ ]\n"
                                "  Имя  =  значение с пробелами внутри  \n"
                                "\"a=b\" = \"  quoted \\\"x\\\"  \"\n"
                                "[\"Quoted\\\\Path\"]\n"
                                "q=1\n"
                                "[software\\velnor\\ОРДАНА 2017]\n"
                                "Второе=2\n";
        const IniDocument doc = IniDocument::parse(text);
        QCOMPARE(doc.firstDamagedLine(), 0);
        const QString key = QStringLiteral("Software\\VELNOR\\Ордана 2017");
        QCOMPARE(*doc.value(QString(), "top"), "level");
        QCOMPARE(*doc.value(key, "имя"), "значение с пробелами внутри");
        QCOMPARE(*doc.value(key, "a=b"), "  quoted \"x\"  ");
        QCOMPARE(*doc.value("Quoted\\Path", "q"), "1");
        // A section repeated in another letter case is the same key.
        QCOMPARE(*doc.value(key, "второе"), "2");
        QCOMPARE(doc.keys().size(), 3);
    }

    void damagedLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::newRow("no equals sign") << QByteArray("[K]\nok=1\nnonsense\n") << 3;
        QTest::newRow("empty name") << QByteArray("[K]\n=1\n") << 2;
        QTest::newRow("unclosed section") << QByteArray("[K\n") << 1;
        QTest::newRow("unclosed quote") << QByteArray("[K]\na=\"x\n") << 2;
        QTest::newRow("text after quote") << QByteArray("[K]\na=\"x\" y\n") << 2;
        QTest::newRow("unknown escape") << QByteArray("[K]\na=\"\\q\"\n") << 2;
        QTest::newRow("short hex escape") << QByteArray("[K]\na=\"\\x4\"\n") << 2;
        QTest::newRow("zero byte") << QByteArray("[K]\na=b\0c\n", 10) << 2;
        QTest::newRow("not UTF-8") << QByteArray("[K]\na=\xCE\xF0\xE4\n") << 2;
        QTest::newRow("fine") << QByteArray("\xEF\xBB\xBF[K]\r\na=b\r\n\r\n") << 0;
    }
    void damagedLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QCOMPARE(IniDocument::parse(text).firstDamagedLine(), line);
    }

    void keysAboveWrittenKeysExist()
    {
        IniDocument doc;
        QVERIFY(doc.createKey("Software\\VELNOR\\Ордана 2017"));
        QVERIFY(doc.keyExists("Software"));
        QVERIFY(doc.keyExists("software\\velnor"));
        QVERIFY(!doc.keyExists("Soft"));
        QVERIFY(!doc.keyExists("Software\\VELNOR\\Ордана 2017\\Defaults"));
        QVERIFY(!doc.createKey("Software\\VELNOR")); // exists already: nothing to write
        QCOMPARE(doc.keys().size(), 1);
    }

    void unchangedValueChangesNothing()
    {
        IniDocument doc;
        QVERIFY(doc.setValue("K", "a", "1"));
        QVERIFY(!doc.setValue("k", "A", "1"));
        QVERIFY(doc.setValue("K", "A", "2"));
        QCOMPARE(doc.valueNames("K"), QStringList({"a"})); // the first spelling stays
        QVERIFY(!doc.removeValue("K", "b"));
        QVERIFY(doc.removeValue("K", "A"));
    }

    void removeKeyTreeLeavesKeysWithTheSamePrefix()
    {
        IniDocument doc;
        doc.setValue("TfmMainDBGridEh1", "", "1");
        doc.setValue("TfmMainDBGridEh1\\Sub", "x", "2");
        doc.setValue("TfmMainDBGridEh10", "", "3");
        QVERIFY(doc.removeKeyTree("tfmmaindbgrideh1"));
        QVERIFY(!doc.keyExists("TfmMainDBGridEh1"));
        QCOMPARE(*doc.value("TfmMainDBGridEh10", ""), "3");
    }
};

QTEST_GUILESS_MAIN(TstIniDocument)
#include "tst_inidocument.moc"
