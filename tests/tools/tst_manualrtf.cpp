#include "ManualRtf.h"
#include "output/OutputTestKit.h"
#include "platform/QorError.h"
#include "support/Failures.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestManualRtf : public QObject
{
    Q_OBJECT

private slots:
    void markup_data();
    void markup();
    void unencodableCharacterNamesItsLine();
    void builtManualReadsBack();
};

void TestManualRtf::markup_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("title and contents") << "# Т\n## Глава\n"
                                        << QByteArray("\\'d2\\par\r\n\\pard\\plain\\f1\\fs28\\b");
    QTest::newRow("paragraph lines joined") << "a\nb\n\nc"
                                            << QByteArray("\\qj a b\\par\r\n\\pard\\plain\\f0"
                                                          "\\fs24\\sa120\\qj c\\par");
    QTest::newRow("bold and escaping") << "x **{y}** \\" << QByteArray("x {\\b \\{y\\}} \\\\\\par");
    QTest::newRow("bullet continues") << "- a\n  b\n- c"
                                      << QByteArray("\\bullet\\tab a b\\par\r\n\\pard\\plain\\f0"
                                                    "\\fs24\\fi-360\\li720\\sa60\\tx720 "
                                                    "\\bullet\\tab c\\par");
    QTest::newRow("numbered") << "12. Шаг" << QByteArray("\\tx720 12.\\tab \\'d8\\'e0\\'e3\\par");
    QTest::newRow("note") << "> Внимание" << QByteArray("\\i\\li567");
}

void TestManualRtf::markup()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, rtf);
    const QByteArray out = ManualToRtf(source);
    QVERIFY2(out.contains(rtf), out.constData());
    QVERIFY(out.startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    QVERIFY(out.endsWith("}\r\n"));
}

void TestManualRtf::unencodableCharacterNamesItsLine()
{
    QVERIFY(Failures::errorOf([] {
                ManualToRtf(QStringLiteral("a\n\nb → c"));
            }).startsWith(QStringLiteral("Строка 3: ")));
}

void TestManualRtf::builtManualReadsBack()
{
#ifdef Q_OS_WIN
    QSKIP("unrtf reads RTF on Linux only; the Linux build reads the same bytes back");
#endif
    // Every heading of the source comes out of the document the build made, in order.
    const QString source =
        QString::fromUtf8(CardFileTestKit::fileBytes(QStringLiteral(QOR_MANUAL_SOURCE)));
    QStringList headings;
    const QRegularExpression heading(QStringLiteral("^#+ (.*)$"),
                                     QRegularExpression::MultilineOption);
    for (auto it = heading.globalMatch(source); it.hasNext();)
        headings << it.next().captured(1);
    QVERIFY(headings.size() > 20);

    QString error;
    const QStringList text = OutputTestKit::rtfText(QString::fromUtf8(QOR_MANUAL_DOCUMENT), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QString missing = OutputTestKit::missingInOrder(text, headings);
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
}

QTEST_GUILESS_MAIN(TestManualRtf)
#include "tst_manualrtf.moc"
