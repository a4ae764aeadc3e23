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
    // A PNG of 2000 x 10 pixels: its header, narrowed to the text's width, its caption below.
    QTest::newRow("picture") << "![Окно](a.png)"
                             << QByteArray("{\\pict\\pngblip\\picw2000\\pich10\\picwgoal9355"
                                           "\\pichgoal46\r\n89504e47");
    QTest::newRow("picture caption") << "![Окно](a.png)" << QByteArray("\\i\\qc\\sa120 \\'ce");
}

void TestManualRtf::markup()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, rtf);
    const QByteArray png =
        QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x07\xd0\0\0\0\x0a", 24) + QByteArray(40, 'x');
    const QByteArray out = ManualToRtf(source, [&](const QString &file) {
        return file == u"a.png" ? png : QByteArray("not a picture");
    });
    QVERIFY2(out.contains(rtf), out.constData());
    QVERIFY(out.startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    QVERIFY(out.endsWith("}\r\n"));
}

void TestManualRtf::unencodableCharacterNamesItsLine()
{
    QVERIFY(Failures::errorOf([] {
                ManualToRtf(QStringLiteral("a\n\nb → c"));
            }).startsWith(QStringLiteral("Строка 3: ")));
    QCOMPARE(Failures::errorOf([] {
                 ManualToRtf(QStringLiteral("a\n![b](c.txt)"),
                             [](const QString &) { return QByteArray("text"); });
             }),
             QStringLiteral("Строка 2: рисунок не в формате PNG"));
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
