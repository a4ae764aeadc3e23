#include "platform/Cp1251.h"
#include "platform/QorError.h"

#include <QStringDecoder>
#include <QTest>

class TestCp1251 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QString text = Cp1251::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(Cp1251::encode(text), all);
        QVERIFY(Cp1251::canEncode(text));
    }

    // The program's own table against the system's codec, where there is one (ICU on Linux).
    void tableMatchesTheSystemCodec()
    {
        QStringDecoder system("windows-1251");
        if (!system.isValid())
            QSKIP("this Qt has no windows-1251 codec to compare with (no ICU)");
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString expected = system.decode(QByteArrayView(&byte, 1));
            QCOMPARE(Cp1251::decode(QByteArrayView(&byte, 1)), expected);
        }
    }

    void knownCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("А and я") << QStringLiteral("Ая") << QByteArray("\xC0\xFF");
        QTest::newRow("Ё and ё") << QStringLiteral("Ёё") << QByteArray("\xA8\xB8");
        QTest::newRow("№") << QStringLiteral("№") << QByteArray("\xB9");
        QTest::newRow("guillemets") << QStringLiteral("«»") << QByteArray("\xAB\xBB");
        QTest::newRow("TAB and CR LF") << QStringLiteral("\t\r\n") << QByteArray("\t\r\n");
        QTest::newRow("NUL") << QString(QChar(0)) << QByteArray(1, '\0');
    }

    void knownCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp1251::encode(text), bytes);
        QCOMPARE(Cp1251::decode(bytes), text);
    }

    void unencodableIsNeverWrittenSilently_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::newRow("Chinese") << QStringLiteral("AБ中") << 2;
        QTest::newRow("Greek alpha") << QStringLiteral("α") << 0;
        QTest::newRow("emoji (surrogates)") << QStringLiteral("ok😀") << 2;
        QTest::newRow("Ukrainian і is held") << QStringLiteral("іїєґ") << -1;
        QTest::newRow("SUB itself is held") << QString(QChar(0x1A)) << -1;
    }

    void unencodableIsNeverWrittenSilently()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QCOMPARE(Cp1251::firstUnencodable(text), qsizetype(position));
        if (position < 0) {
            QCOMPARE(Cp1251::decode(Cp1251::encode(text)), text);
        } else {
            QVERIFY(!Cp1251::canEncode(text));
            QVERIFY_THROWS_EXCEPTION(QorError, Cp1251::encode(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestCp1251)
#include "tst_cp1251.moc"
