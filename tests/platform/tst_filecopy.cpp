#include "platform/FileCopy.h"
#include "platform/QorError.h"
#include "platform/SystemError.h"
#include "support/Failures.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>

using namespace TestFiles;

namespace {

constexpr QFile::Permissions kReadOnly =
    QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;
constexpr QFile::Permissions kExecutableReadOnly =
    kReadOnly | QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;

} // namespace

class TestFileCopy : public QObject
{
    Q_OBJECT

private slots:
    void copiesWithNormalMarks_data();
    void copiesWithNormalMarks();
    void failuresLeaveEveryFileWhole_data();
    void failuresLeaveEveryFileWhole();
    void systemErrorTexts_data();
    void systemErrorTexts();
    void listsVisibleFilesOnly();
};

// The copy replaces what was there, is writable by its owner and keeps an executable's bits.
void TestFileCopy::copiesWithNormalMarks_data()
{
    QTest::addColumn<int>("sourcePermissions");
    QTest::addColumn<bool>("targetExisted");
    QTest::addColumn<int>("expected");
#ifdef Q_OS_WIN
    // Windows keeps one mark, read-only, which Qt shows as every write bit.
    const int writable = int(kReadOnly | QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup |
                             QFile::WriteOther);
    QTest::newRow("read-only source") << int(kReadOnly) << false << writable;
    QTest::newRow("read-only target replaced") << int(kReadOnly) << true << writable;
#else
    const int writable = int(kReadOnly | QFile::WriteOwner | QFile::WriteUser);
    QTest::newRow("read-only source") << int(kReadOnly) << false << writable;
    QTest::newRow("read-only target replaced") << int(kReadOnly) << true << writable;
    QTest::newRow("executable") << int(kExecutableReadOnly) << false
                                << int(kExecutableReadOnly | QFile::WriteOwner | QFile::WriteUser);
#endif
}

void TestFileCopy::copiesWithNormalMarks()
{
    QFETCH(int, sourcePermissions);
    QFETCH(bool, targetExisted);
    QFETCH(int, expected);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("Руководство.doc"));
    const QString target = dir.filePath(QStringLiteral("to/Руководство.doc"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("to"))));
    put(source, QByteArray(100000, 'x') + "end", QFile::Permissions(sourcePermissions));
    if (targetExisted)
        put(target, "old and longer than nothing", kReadOnly);

    FileCopy::copyAsNormal(source, target);
    QCOMPARE(readBack(target), QByteArray(100000, 'x') + "end");
    QCOMPARE(int(QFile::permissions(target)), expected);
    // Nothing of the temporary copy is left beside it.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("to")))
                 .entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{QStringLiteral("Руководство.doc")});
}

// A copy that fails names the system error, and neither the source nor an existing target
// loses a byte: above all, a file copied onto itself.
void TestFileCopy::failuresLeaveEveryFileWhole_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("code");
    QTest::newRow("onto itself") << "a.dat" << 32;
#ifndef Q_OS_WIN // QFile::link makes a shell shortcut there, a file of its own
    QTest::newRow("onto itself through a link") << "link.dat" << 32;
#endif
    QTest::newRow("onto a second name of itself") << "hard.dat" << 32;
    QTest::newRow("onto itself through the folder") << "./sub/../a.dat" << 32;
    QTest::newRow("into a missing folder") << "missing/a.dat" << 3;
    QTest::newRow("under a file") << "b.dat/a.dat" << 3;
    QTest::newRow("onto a folder") << "sub" << 5;
}

void TestFileCopy::failuresLeaveEveryFileWhole()
{
    QFETCH(QString, target);
    QFETCH(int, code);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    put(dir.filePath(QStringLiteral("a.dat")), "the cards", kReadOnly);
    put(dir.filePath(QStringLiteral("b.dat")), "other cards");
#ifndef Q_OS_WIN
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("a.dat")), dir.filePath("link.dat")));
#endif
    QVERIFY(hardLink(dir.filePath(QStringLiteral("a.dat")), dir.filePath(QStringLiteral("hard.dat"))));
    const QStringList before =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    int gotCode = 0;
    const QString message = Failures::errorOf(
        [&] { FileCopy::copyAsNormal(dir.filePath("a.dat"), dir.filePath(target)); }, &gotCode);
    QCOMPARE(gotCode, code);
    QVERIFY2(message.startsWith(QStringLiteral("Системная ошибка.  Код: %1.\r\n").arg(code)),
             qPrintable(message));
    QCOMPARE(readBack(dir.filePath(QStringLiteral("a.dat"))), QByteArray("the cards"));
    QCOMPARE(readBack(dir.filePath(QStringLiteral("b.dat"))), QByteArray("other cards"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             before);
}

// A system error names its code and the system's own text for it. Linux has none in Russian, so
// the program holds the texts a Russian Windows gives; Windows is asked for its own (empty
// "text": whatever the system says, without its final stop).
void TestFileCopy::systemErrorTexts_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
#ifdef Q_OS_WIN
    QTest::newRow("busy") << 32 << 32 << QString();
    QTest::newRow("disk full") << 112 << 112 << QString();
    QTest::newRow("denied") << 5 << 5 << QString();
#else
    QTest::newRow("busy") << EBUSY << 32
                          << "Процесс не может получить доступ к файлу, так как этот файл занят "
                             "другим процессом";
    QTest::newRow("disk full") << ENOSPC << 112 << "Недостаточно места на диске";
    QTest::newRow("denied") << EACCES << 5 << "Отказано в доступе";
    QTest::newRow("no Windows code: the C library's text")
        << EPIPE << EPIPE << QString::fromLocal8Bit(strerror(EPIPE));
#endif
}

void TestFileCopy::systemErrorTexts()
{
    QFETCH(int, error);
    QFETCH(int, code);
    QFETCH(QString, text);
    const QString message = Failures::errorOf([&] { SystemError::raiseNative(error); });
    const QString head = QStringLiteral("Системная ошибка.  Код: %1.\r\n").arg(code);
    QVERIFY2(message.startsWith(head), qPrintable(message));
    const QString said = message.mid(head.size());
    if (text.isEmpty())
        QVERIFY2(!said.isEmpty() && !said.endsWith(u'.') && !said.endsWith(u'\n'), qPrintable(said));
    else
        QCOMPARE(said, text);
}

void TestFileCopy::listsVisibleFilesOnly()
{
    QTemporaryDir dir;
    put(dir.filePath(QStringLiteral("b.dat")), "b", kReadOnly);
    put(dir.filePath(QStringLiteral("a.doc")), "a");
    put(dir.filePath(QStringLiteral(".hidden")), "h");
#ifdef Q_OS_WIN
    // Hidden is a mark there, not a name.
    QVERIFY(SetFileAttributesW(reinterpret_cast<const wchar_t *>(dir.filePath(".hidden").utf16()),
                               FILE_ATTRIBUTE_HIDDEN));
#endif
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
#ifndef Q_OS_WIN
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), dir.filePath("dangling")));
#endif
    QCOMPARE(FileCopy::listVisibleFiles(dir.path()), (QStringList{"a.doc", "b.dat"}));
}

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
