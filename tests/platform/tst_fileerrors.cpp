#include "platform/FileErrors.h"
#include "platform/QorError.h"

#include <QTest>
#include <cerrno>

class TestFileErrors : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
    void errnoCodes_data();
    void errnoCodes();
    void nativeErrors_data();
    void nativeErrors();
};

void TestFileErrors::texts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("2") << 2 << QStringLiteral("Файл не найден");
    QTest::newRow("3") << 3 << QStringLiteral("Неверное имя файла");
    QTest::newRow("4") << 4 << QStringLiteral("Слишком много открытых файлов");
    QTest::newRow("5") << 5 << QStringLiteral("В доступе к файлу отказано");
    QTest::newRow("100") << 100 << QStringLiteral("Чтение за окончанием файла");
    QTest::newRow("101") << 101 << QStringLiteral("Диск полон");
    QTest::newRow("106") << 106 << QStringLiteral("Неверный ввод числа");
    QTest::newRow("32") << 32 << QStringLiteral("Ошибка ввода/вывода 32");
    QTest::newRow("1") << 1 << QStringLiteral("Ошибка ввода/вывода 1");
    QTest::newRow("1117") << 1117 << QStringLiteral("Ошибка ввода/вывода 1117");
}

void TestFileErrors::texts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(FileErrors::textOf(code), text);
}

void TestFileErrors::errnoCodes_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("code");
    QTest::newRow("ENOENT") << ENOENT << 2;
    QTest::newRow("ENOTDIR") << ENOTDIR << 3;
    QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << 3;
    QTest::newRow("EMFILE") << EMFILE << 4;
    QTest::newRow("ENFILE") << ENFILE << 4;
    QTest::newRow("EACCES") << EACCES << 5;
    QTest::newRow("EPERM") << EPERM << 5;
    QTest::newRow("EROFS") << EROFS << 5;
    QTest::newRow("EISDIR") << EISDIR << 5;
    QTest::newRow("ENOSPC") << ENOSPC << 101;
#ifdef EDQUOT
    QTest::newRow("EDQUOT") << EDQUOT << 101;
#endif
    QTest::newRow("EBUSY") << EBUSY << 32;
    QTest::newRow("EIO") << EIO << 1117;
#ifdef Q_OS_LINUX
    // Errno numbers that are codes with texts of their own (ESRCH, EINTR, ENETDOWN,
    // ENETUNREACH, EISCONN) must not read as another failure, such as "Диск полон".
    QTest::newRow("raw 3") << 3 << 1117;
    QTest::newRow("raw 4") << 4 << 1117;
    QTest::newRow("raw 100") << 100 << 1117;
    QTest::newRow("raw 101") << 101 << 1117;
    QTest::newRow("raw 106") << 106 << 1117;
    QTest::newRow("zero") << 0 << 1117;
    QTest::newRow("EPROTO keeps its number") << 71 << 71;
#endif
}

void TestFileErrors::errnoCodes()
{
    QFETCH(int, error);
    QFETCH(int, code);
    QCOMPARE(FileErrors::codeOfErrno(error), code);
}

// What the system reports, in its own codes, reaches the user as the runtime's text.
void TestFileErrors::nativeErrors_data()
{
    QTest::addColumn<int>("native");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("code");
#ifdef Q_OS_WIN
    QTest::newRow("ERROR_FILE_NOT_FOUND") << 2 << QStringLiteral("Файл не найден") << 2;
    QTest::newRow("ERROR_PATH_NOT_FOUND") << 3 << QStringLiteral("Неверное имя файла") << 3;
    QTest::newRow("ERROR_TOO_MANY_OPEN_FILES") << 4 << QStringLiteral("Слишком много открытых файлов") << 4;
    QTest::newRow("ERROR_ACCESS_DENIED") << 5 << QStringLiteral("В доступе к файлу отказано") << 5;
    QTest::newRow("ERROR_SHARING_VIOLATION") << 32 << QStringLiteral("Ошибка ввода/вывода 32") << 32;
    QTest::newRow("ERROR_DISK_FULL") << 112 << QStringLiteral("Диск полон") << 101;
    QTest::newRow("ERROR_HANDLE_DISK_FULL") << 39 << QStringLiteral("Диск полон") << 101;
    QTest::newRow("ERROR_DISK_QUOTA_EXCEEDED") << 1295 << QStringLiteral("Диск полон") << 101;
    QTest::newRow("ERROR_INVALID_NAME") << 123 << QStringLiteral("Неверное имя файла") << 3;
    QTest::newRow("ERROR_FILENAME_EXCED_RANGE") << 206 << QStringLiteral("Неверное имя файла") << 3;
#else
    QTest::newRow("ENOENT") << ENOENT << QStringLiteral("Файл не найден") << 2;
    QTest::newRow("EACCES") << EACCES << QStringLiteral("В доступе к файлу отказано") << 5;
    QTest::newRow("ENOSPC") << ENOSPC << QStringLiteral("Диск полон") << 101;
    QTest::newRow("EBUSY") << EBUSY << QStringLiteral("Ошибка ввода/вывода 32") << 32;
#endif
}

void TestFileErrors::nativeErrors()
{
    QFETCH(int, native);
    QFETCH(QString, message);
    QFETCH(int, code);
    try {
        FileErrors::raiseNative(native);
        QFAIL("no error raised");
    } catch (const QorFileError &e) {
        QCOMPARE(e.message(), message);
        QCOMPARE(e.code(), code);
    }
}

QTEST_GUILESS_MAIN(TestFileErrors)
#include "tst_fileerrors.moc"
