// The per-user store as the program reaches it: the registry on Windows, its INI file elsewhere.
// Values with Cyrillic key paths read back by a second process: tst_settingsstore.
#include "platform/RegistryBackend.h"
#include "support/TestEnvironment.h"

#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const QString kRoot = QStringLiteral("Software\\QorClient tests\\Ордана 2017");

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

private:
    TestEnvironment::TemporaryHome m_home;
    std::unique_ptr<RegistryBackend> m_store = RegistryBackend::forCurrentUser();

private slots:
    void cleanup() { QVERIFY(m_store->deleteKeyTree(QStringLiteral("Software\\QorClient tests"))); }

    // A key tree goes with everything below it; a key that is not there counts as deleted.
    void keyTreeDeleted()
    {
        const QString below = joinKeyPath(kRoot, QStringLiteral("А\\Б\\В"));
        QVERIFY(m_store->writeValue(below, "x", "1"));
        QVERIFY(m_store->writeValue(kRoot, "", "по умолчанию"));
        QStringList names;
        QCOMPARE(m_store->valueNames(kRoot, &names), RegistryBackend::Result::Ok);
        QCOMPARE(names, QStringList{""});
        QVERIFY(m_store->deleteKeyTree(kRoot));
        QCOMPARE(m_store->keyExists(below), RegistryBackend::Result::Missing);
        QCOMPARE(m_store->keyExists(kRoot), RegistryBackend::Result::Missing);
        QVERIFY(m_store->deleteKeyTree(kRoot));
    }

    // A value that is no text (another program's, or edited by hand) reads as the wrong type;
    // the settings store turns that into "Неверный тип данных".
    void valueOfAnotherTypeIsWrongType()
    {
#ifndef Q_OS_WIN
        QSKIP("the INI file holds texts only");
#else
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
#endif
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
