// The per-user store as the program reaches it: the registry on Windows, its INI file elsewhere.
#include "platform/RegistryBackend.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// A key of the tests' own, below which each test works.
const QString kRoot = QStringLiteral("Software\\QorClient tests\\Ордана 2017");

QString readInAnotherProcess(const QString &key, const QString &name)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--read"), key, name});
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return QStringLiteral("<child failed: %1>").arg(QString::fromLocal8Bit(child.readAllStandardError()));
    return QString::fromUtf8(QByteArray::fromHex(child.readAllStandardOutput().trimmed()));
}

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment::TemporaryHome> m_home;
    std::unique_ptr<RegistryBackend> m_store;

private slots:
    void init()
    {
        m_home = std::make_unique<TestEnvironment::TemporaryHome>();
        m_store = RegistryBackend::forCurrentUser();
        QVERIFY(m_store->deleteKeyTree(kRoot));
    }
    void cleanup()
    {
        QVERIFY(m_store->deleteKeyTree(QStringLiteral("Software\\QorClient tests")));
        m_store.reset();
        m_home.reset();
    }

    // Key paths and names with Cyrillic letters, blanks and line breaks, and the default value,
    // read back here and by another process.
    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("subKey");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("defaults line") << "Defaults" << "Line0" << "@JOB=Отделение №2, «Ёлка»";
        QTest::newRow("default value") << "Ещё ключ" << "" << "18,1";
        QTest::newRow("Cyrillic name") << "Подраздел\\Глубже" << "Многострочное" << "a\r\nb\\n";
        QTest::newRow("blanks kept") << "TfmMain" << "NormPos(1920x1080)" << "  10,20  ";
        QTest::newRow("empty text") << "TfmMain" << "Пусто" << "";
    }
    void valuesRoundTrip()
    {
        QFETCH(QString, subKey);
        QFETCH(QString, name);
        QFETCH(QString, text);
        const QString key = joinKeyPath(kRoot, subKey);
        QVERIFY2(m_store->writeValue(key, name, text), qPrintable(m_store->errorString()));
        QString read;
        QCOMPARE(m_store->readValue(key, name, &read), RegistryBackend::Result::Ok);
        QCOMPARE(read, text);
        QCOMPARE(m_store->readValue(key, name + "x", &read), RegistryBackend::Result::Missing);
        QCOMPARE(readInAnotherProcess(key, name), text);
    }

    // A key tree goes with everything below it; a key that is not there counts as deleted.
    void keyTreeDeleted()
    {
        const QString below = joinKeyPath(kRoot, QStringLiteral("А\\Б\\В"));
        QVERIFY(m_store->writeValue(below, "x", "1"));
        QVERIFY(m_store->writeValue(kRoot, "y", "2"));
        QStringList names;
        QCOMPARE(m_store->valueNames(kRoot, &names), RegistryBackend::Result::Ok);
        QCOMPARE(names, QStringList{"y"});
        QVERIFY(m_store->deleteKeyTree(kRoot));
        QCOMPARE(m_store->keyExists(below), RegistryBackend::Result::Missing);
        QCOMPARE(m_store->keyExists(kRoot), RegistryBackend::Result::Missing);
        QVERIFY(m_store->deleteKeyTree(kRoot));
        QCOMPARE(readInAnotherProcess(below, "x"), QStringLiteral("<missing>"));
    }

#ifdef Q_OS_WIN
    // A value that is no text (another program's, or edited by hand) reads as the wrong type;
    // the settings store turns that into "Неверный тип данных".
    void valueOfAnotherTypeIsWrongType()
    {
        QVERIFY(m_store->createKey(kRoot));
        HKEY key = nullptr;
        QCOMPARE(RegOpenKeyExW(HKEY_CURRENT_USER, kRoot.toStdWString().c_str(), 0, KEY_SET_VALUE,
                               &key),
                 LSTATUS(ERROR_SUCCESS));
        const DWORD number = 42;
        RegSetValueExW(key, L"ShowCmd", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number),
                       sizeof number);
        RegCloseKey(key);
        QString read;
        QCOMPARE(m_store->readValue(kRoot, "ShowCmd", &read), RegistryBackend::Result::WrongType);
    }
#endif
};

// The second process: prints the value's UTF-8 bytes in hex, or "<missing>".
static int readValue(const QString &key, const QString &name)
{
    QString text;
    const auto result = RegistryBackend::forCurrentUser()->readValue(key, name, &text);
    if (result == RegistryBackend::Result::Missing)
        text = QStringLiteral("<missing>");
    else if (result != RegistryBackend::Result::Ok)
        return 1;
    std::fputs(text.toUtf8().toHex().constData(), stdout);
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--read"))
        return readValue(args.at(2), args.at(3));
    TestRegistry test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_registry.moc"
