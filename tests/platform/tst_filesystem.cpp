#include "platform/FileSystem.h"
#include "platform/QorError.h"
#include "support/Failures.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <functional>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#include <windows.h>
#endif

Q_DECLARE_METATYPE(FileSystem::Step)

using namespace Failures;

namespace {

QByteArray readBack(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The files this process holds open: its descriptors, or on Windows its handles.
int openDescriptors()
{
#ifdef Q_OS_WIN
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    return int(handles);
#else
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
#endif
}

QByteArray bigContent()
{
    QByteArray bytes;
    for (int i = 0; i < 3 * int(FileSystem::kChunkSize) + 17; ++i)
        bytes.append(char(i * 7 % 256));
    return bytes;
}

} // namespace

class TestFileSystem : public QObject
{
    Q_OBJECT

private slots:
    void readWriteAllBytes();
    void readsTheFileAsItIsWhenRead_data();
    void readsTheFileAsItIsWhenRead();
    void readErrors_data();
    void readErrors();
    void writeErrors();
    void writeReplacesReadOnlyFile();
    void writeFaultLeavesNoDescriptor_data();
    void writeFaultLeavesNoDescriptor();
    void diskFullIsReported();
    void saveKeepsOldContentOnEveryFault_data();
    void saveKeepsOldContentOnEveryFault();
    void saveOntoFolderFails();
    void syncCanBeLeftOut();
    void saveReplacesReadOnlyTarget();
    void namesOutsideTheSystemEncoding();
    void nothingButRegularFilesIsOpened_data();
    void nothingButRegularFilesIsOpened();
    void listFiles();
    void programFolderAndJoin();
};

void TestFileSystem::readWriteAllBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("all.bin"));
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    bytes += bigContent();
    FileSystem::writeWhole(path, bytes);
    QCOMPARE(readBack(path), bytes);
    QCOMPARE(FileSystem::readWhole(path), bytes);

    FileSystem::writeWhole(path, QByteArray("short"));
    QCOMPARE(FileSystem::readWhole(path), QByteArray("short")); // emptied, not overlaid
    FileSystem::writeWhole(path, QByteArray());
    QCOMPARE(FileSystem::readWhole(path), QByteArray());
}

// The array is sized from the file's size before the read: every size around a read's chunk, and
// a file that another program lengthens or cuts after its size was taken.
void TestFileSystem::readsTheFileAsItIsWhenRead_data()
{
    QTest::addColumn<qsizetype>("size");
    QTest::addColumn<qsizetype>("changedTo");
    const qsizetype chunk = FileSystem::kChunkSize;
    for (const qsizetype size : {qsizetype(1), chunk - 1, chunk, chunk + 1, 3 * chunk})
        QTest::addRow("%lld bytes", qlonglong(size)) << size << size;
    QTest::newRow("lengthened") << 2 * chunk << 3 * chunk + 7;
    QTest::newRow("cut") << 2 * chunk << chunk + 7;
    QTest::newRow("emptied") << chunk << qsizetype(0);
}

void TestFileSystem::readsTheFileAsItIsWhenRead()
{
    QFETCH(qsizetype, size);
    QFETCH(qsizetype, changedTo);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    QByteArray changed(changedTo, Qt::Uninitialized);
    for (qsizetype i = 0; i < changedTo; ++i)
        changed[i] = char(i * 7 + i / 251);
    put(path, changed.left(size).leftJustified(size, 'x'));
    bool first = true;
    FileSystem::setFaultHook([&](FileSystem::Step step, const QString &) {
        if (step == FileSystem::Step::Read && std::exchange(first, false))
            put(path, changed); // the same file, rewritten in place
        return 0;
    });
    const QByteArray read = FileSystem::readWhole(path);
    FileSystem::setFaultHook({});
    QCOMPARE(read.size(), changedTo);
    QVERIFY(read == changed);
}

void TestFileSystem::readErrors_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing file") << "none.dat" << 2 << QStringLiteral("Файл не найден");
    QTest::newRow("missing folder")
        << "nofolder/none.dat" << 3 << QStringLiteral("Неверное имя файла");
    QTest::newRow("a folder") << "sub" << 5 << QStringLiteral("В доступе к файлу отказано");
    QTest::newRow("file as folder") << "plain/x.dat" << 3 << QStringLiteral("Неверное имя файла");
}

void TestFileSystem::readErrors()
{
    QFETCH(QString, relative);
    QFETCH(int, code);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    put(dir.filePath(QStringLiteral("plain")), "x");
    int got = 0;
    QCOMPARE(errorOf([&] { FileSystem::readWhole(dir.filePath(relative)); }, &got), text);
    QCOMPARE(got, code);
}

void TestFileSystem::writeErrors()
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    QCOMPARE(errorOf([&] { FileSystem::writeWhole(dir.filePath(QStringLiteral("sub")), "x"); }),
             QStringLiteral("В доступе к файлу отказано"));
    QCOMPARE(errorOf([&] { FileSystem::writeWhole(dir.filePath(QStringLiteral("no/x")), "x"); }),
             QStringLiteral("Неверное имя файла"));
    if (TestEnvironment::underWine())
        QSKIP("Wine reports a name over 255 characters as a missing file, Windows as a bad name");
    const QString tooLong = dir.filePath(QString(300, u'я'));
    QCOMPARE(errorOf([&] { FileSystem::writeWhole(tooLong, "x"); }),
             QStringLiteral("Неверное имя файла"));
}

void TestFileSystem::writeReplacesReadOnlyFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ro.exp"));
    put(path, "old");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    FileSystem::writeWhole(path, "new");
    QCOMPARE(readBack(path), QByteArray("new"));
    QVERIFY(QFileInfo(path).permissions() & QFile::WriteOwner); // the mark is gone
}

void TestFileSystem::writeFaultLeavesNoDescriptor_data()
{
    QTest::addColumn<FileSystem::Step>("step");
    QTest::addColumn<int>("nth");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("text");
    using S = FileSystem::Step;
    QTest::newRow("open") << S::Open << 1 << Fault::AccessDenied
                          << QStringLiteral("В доступе к файлу отказано");
    QTest::newRow("first write") << S::Write << 1 << Fault::DiskFull
                                 << QStringLiteral("Диск полон");
    QTest::newRow("third write") << S::Write << 3 << Fault::IoError
                                 << QStringLiteral("Ошибка ввода/вывода 1117");
    QTest::newRow("flush") << S::Flush << 1 << Fault::DiskFull << QStringLiteral("Диск полон");
    QTest::newRow("sync") << S::Sync << 1 << Fault::IoError
                          << QStringLiteral("Ошибка ввода/вывода 1117");
    QTest::newRow("close") << S::Close << 1 << Fault::QuotaExceeded << QStringLiteral("Диск полон");
    QTest::newRow("clear mark") << S::ClearReadOnly << 1 << Fault::AccessDenied
                                << QStringLiteral("В доступе к файлу отказано");
}

void TestFileSystem::writeFaultLeavesNoDescriptor()
{
    QFETCH(FileSystem::Step, step);
    QFETCH(int, nth);
    QFETCH(Fault, fault);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    const int before = openDescriptors();
    {
        InjectFault injected(step, nth, fault);
        QCOMPARE(errorOf([&] { FileSystem::writeWhole(path, bigContent()); }), text);
    }
    QCOMPARE(openDescriptors(), before);
    {
        InjectFault fault(FileSystem::Step::Read, 2, Fault::IoError);
        put(path, bigContent());
        QCOMPARE(errorOf([&] { FileSystem::readWhole(path); }),
                 QStringLiteral("Ошибка ввода/вывода 1117"));
    }
    QCOMPARE(openDescriptors(), before);
}

void TestFileSystem::diskFullIsReported()
{
    // A real full device, no injection: the buffered tail only fails at the flush.
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    QCOMPARE(errorOf([] { FileSystem::writeWhole(QStringLiteral("/dev/full"), "<QOR>\r\n"); }),
             QStringLiteral("Диск полон"));
    QCOMPARE(errorOf([] { FileSystem::writeWhole(QStringLiteral("/dev/full"), bigContent()); }),
             QStringLiteral("Диск полон"));
}

void TestFileSystem::saveKeepsOldContentOnEveryFault_data()
{
    QTest::addColumn<FileSystem::Step>("step");
    QTest::addColumn<int>("nth");
    using S = FileSystem::Step;
    QTest::newRow("open") << S::Open << 1;
    QTest::newRow("write 1") << S::Write << 1;
    QTest::newRow("write 2") << S::Write << 2;
    QTest::newRow("write 4") << S::Write << 4;
    QTest::newRow("flush") << S::Flush << 1;
    QTest::newRow("sync") << S::Sync << 1;
    QTest::newRow("close") << S::Close << 1;
    QTest::newRow("rename") << S::Rename << 1;
}

void TestFileSystem::saveKeepsOldContentOnEveryFault()
{
    QFETCH(FileSystem::Step, step);
    QFETCH(int, nth);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("m.dat"));
    const QString temp = dir.filePath(QStringLiteral("m.tmp"));
    put(target, "old content");
    {
        InjectFault fault(step, nth, Fault::IoError);
        QVERIFY(!errorOf([&] { FileSystem::saveWhole(target, bigContent(), temp); }).isEmpty());
    }
    QCOMPARE(readBack(target), QByteArray("old content"));
    FileSystem::saveWhole(target, bigContent(), temp); // and the next save goes through
    QCOMPARE(readBack(target), bigContent());
    QVERIFY(!QFileInfo::exists(temp));
}

void TestFileSystem::saveOntoFolderFails()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("m.dat"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("m.dat/inside")));
    QCOMPARE(errorOf([&] { FileSystem::saveWhole(target, "new", dir.filePath("m.tmp")); }),
             QStringLiteral("В доступе к файлу отказано"));
    QVERIFY(QFileInfo(target).isDir());
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("m.dat/inside"))));

    // A folder where the temporary file goes stops the save before the target is touched.
    put(dir.filePath(QStringLiteral("n.dat")), "old");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("n.tmp")));
    QCOMPARE(errorOf([&] {
                 FileSystem::saveWhole(dir.filePath("n.dat"), "new", dir.filePath("n.tmp"));
             }),
             QStringLiteral("В доступе к файлу отказано"));
    QCOMPARE(readBack(dir.filePath(QStringLiteral("n.dat"))), QByteArray("old"));
}

void TestFileSystem::syncCanBeLeftOut()
{
    QTemporaryDir dir;
    QList<FileSystem::Step> steps;
    FileSystem::setFaultHook([&](FileSystem::Step step, const QString &) {
        steps << step;
        return step == FileSystem::Step::Sync || step == FileSystem::Step::SyncFolder
                   ? FileSystem::kSkip
                   : 0;
    });
    FileSystem::saveWhole(dir.filePath("m.dat"), "new", dir.filePath("m.tmp"));
    FileSystem::setFaultHook({});
    using S = FileSystem::Step;
    QCOMPARE(steps, (QList<S>{S::ClearReadOnly, S::Open, S::Write, S::Flush, S::Sync, S::Close,
                              S::Rename, S::SyncFolder}));
    QCOMPARE(readBack(dir.filePath("m.dat")), QByteArray("new"));
}

void TestFileSystem::saveReplacesReadOnlyTarget()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("m.dat"));
    put(target, "old");
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner));
    FileSystem::saveWhole(target, "new", dir.filePath(QStringLiteral("m.tmp")));
    QCOMPARE(readBack(target), QByteArray("new"));
}

void TestFileSystem::listFiles()
{
    QTemporaryDir dir;
    for (const char *name : {"b.dat", "A.dat", "c.DAT", ".hidden.dat", "x.tmp", "y.dat.bak",
                             "a.b.dat", "data", ".dat", "zdat"})
        put(dir.filePath(QString::fromUtf8(name)), "");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.dat")));
    QStringList names = FileSystem::listFiles(dir.path(), QStringLiteral(".dat"));
    names.sort();
    QCOMPARE(names, (QStringList{".dat", ".hidden.dat", "A.dat", "a.b.dat", "b.dat", "c.DAT"}));
    QVERIFY(FileSystem::listFiles(dir.filePath(QStringLiteral("none")), ".dat").isEmpty());
}

void TestFileSystem::programFolderAndJoin()
{
    const QString folder = FileSystem::programFolder();
    QVERIFY(folder.endsWith(QDir::separator()));
    QCOMPARE(QDir(folder).canonicalPath(),
             QDir(QCoreApplication::applicationDirPath()).canonicalPath());
    QCOMPARE(FileSystem::joinPath(QStringLiteral("/a/"), QStringLiteral("x.dat")),
             QStringLiteral("/a/x.dat"));
    QCOMPARE(FileSystem::joinPath(QStringLiteral("/a"), QStringLiteral("x.dat")),
             QStringLiteral("/a") + QDir::separator() + QStringLiteral("x.dat"));
}

// Names unpacked from a Windows archive hold Windows-1251 bytes: Qt cannot open such files, and
// the program names them to the user instead of passing them over.
void TestFileSystem::namesOutsideTheSystemEncoding()
{
#ifdef Q_OS_WIN
    QSKIP("Windows names files in UTF-16: every name is text");
#else
    QTemporaryDir dir;
    for (const QByteArray &name : {QByteArray("\xcc\xe0\xf0\xf2.dat"), QByteArray("ok.dat"),
                                  QByteArray("\xcc\xe0\xf0\xf2.txt")}) {
        const QByteArray path = QFile::encodeName(dir.path()) + '/' + name;
        std::FILE *file = std::fopen(path.constData(), "wb");
        QVERIFY(file);
        std::fclose(file);
    }
    QCOMPARE(FileSystem::namesOutsideSystemEncoding(dir.path(), QStringLiteral(".dat")),
             QStringList{QStringLiteral("Март.dat")});
#endif
}

// A folder shared by several clerks may hold anything under the names the program uses: nothing
// there may make it write elsewhere, or wait for good. "what" stands at the path; the victim is
// a file elsewhere that must stay as it is.
void TestFileSystem::nothingButRegularFilesIsOpened_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("refused");
#ifdef Q_OS_WIN
    QSKIP("links and FIFOs are made by the Linux tests; Windows keeps only disk files (onDisk)");
#endif
    QTest::newRow("write over a link") << "link" << "write" << false;
    QTest::newRow("write over a second name") << "hard link" << "write" << false;
    QTest::newRow("write onto a FIFO") << "fifo" << "write" << true;
    QTest::newRow("append through a link") << "link" << "append" << true;
    QTest::newRow("append to a FIFO") << "fifo" << "append" << true;
    QTest::newRow("read a FIFO") << "fifo" << "read" << true;
    QTest::newRow("read a link to a FIFO") << "link to fifo" << "read" << true;
    QTest::newRow("read a link to /dev/zero") << "link to zero" << "read" << true;
    QTest::newRow("read a file over the limit") << "huge" << "read" << true;
}

void TestFileSystem::nothingButRegularFilesIsOpened()
{
#ifndef Q_OS_WIN
    QFETCH(QString, what);
    QFETCH(QString, operation);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Апрель.tmp"));
    const QString victim = dir.filePath(QStringLiteral("чужой.txt"));
    const QString fifo = dir.filePath(QStringLiteral("канал"));
    put(victim, "precious");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    if (what == QLatin1String("link"))
        QVERIFY(QFile::link(victim, path));
    else if (what == QLatin1String("hard link"))
        QVERIFY(QFile::link(victim, path) && QFile::remove(path) &&
                ::link(QFile::encodeName(victim).constData(), QFile::encodeName(path).constData()) == 0);
    else if (what == QLatin1String("fifo"))
        QVERIFY(QFile::rename(fifo, path));
    else if (what == QLatin1String("link to fifo"))
        QVERIFY(QFile::link(fifo, path));
    else if (what == QLatin1String("link to zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    else if (what == QLatin1String("huge"))
        QVERIFY(QFile(path).open(QIODevice::WriteOnly) && QFile::resize(path, FileSystem::kMaxReadSize + 1));

    const QString message = errorOf([&] {
        if (operation == QLatin1String("write"))
            FileSystem::writeWhole(path, "<QOR>\r\n");
        else if (operation == QLatin1String("append"))
            FileSystem::appendWhole(path, "entry\r\n");
        else
            FileSystem::readWhole(path);
    });
    QCOMPARE(message.isEmpty(), !refused);
    if (refused)
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    else
        QCOMPARE(readBack(path), QByteArray("<QOR>\r\n"));
    QCOMPARE(readBack(victim), QByteArray("precious"));
#endif
}

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
