#include "app/settings/DefaultsPersistence.h"
#include "app/settings/GridLayout.h"
#include "app/settings/ObrSoc.h"
#include "app/settings/SettingsStore.h"
#include "app/settings/WindowState.h"
#include "data/DefaultsList.h"
#include "platform/FileSystem.h"
#include "platform/IniDocument.h"
#include "platform/IniRegistry.h"
#include "platform/QorError.h"
#include "support/Failures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Failures;

namespace {

const QString kSettings = SettingsStore::settingsKeyPath();
const QString kInstallation = SettingsStore::installationKeyPath();

QStringList lines(const DefaultsList &list)
{
    return list.lines();
}

DefaultsList listOf(const QStringList &lines)
{
    DefaultsList list;
    for (const QString &line : lines)
        list.append(line);
    return list;
}

// The store with failures injected at chosen values, to see where an operation stops.
class FaultyRegistry : public RegistryBackend
{
public:
    FaultyRegistry() : m_store(RegistryBackend::forCurrentUser()), m_inner(*m_store) {}

    QString failRead, failWrite, failDelete, wrongType;
    bool failCreate = false;

    Result keyExists(const QString &keyPath) override { return m_inner.keyExists(keyPath); }
    bool createKey(const QString &keyPath) override
    {
        return !failCreate && m_inner.createKey(keyPath);
    }
    Result readValue(const QString &keyPath, const QString &name, QString *text) override
    {
        if (name == failRead)
            return Result::Failed;
        if (name == wrongType)
            return Result::WrongType;
        return m_inner.readValue(keyPath, name, text);
    }
    bool writeValue(const QString &keyPath, const QString &name, const QString &text) override
    {
        return name != failWrite && m_inner.writeValue(keyPath, name, text);
    }
    bool deleteValue(const QString &keyPath, const QString &name) override
    {
        return name != failDelete && m_inner.deleteValue(keyPath, name);
    }
    bool deleteKeyTree(const QString &keyPath) override { return m_inner.deleteKeyTree(keyPath); }
    Result valueNames(const QString &keyPath, QStringList *names) override
    {
        return m_inner.valueNames(keyPath, names);
    }

private:
    std::unique_ptr<RegistryBackend> m_store;
    RegistryBackend &m_inner;
};

// Tests of the INI file itself: its bytes, its damage and its failures. On Windows the registry
// is the store (tst_registry tests it there), and the file stands for it nowhere.
#ifdef Q_OS_WIN
#define INI_FILE_ONLY() QSKIP("the INI file stands for the registry only where there is none")
#else
#define INI_FILE_ONLY()
#endif

} // namespace

class TstSettingsStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_config;
    QString iniPath() const { return IniRegistry::currentUserFilePath(); }
    std::unique_ptr<FaultyRegistry> faulty() const
    {
        return std::make_unique<FaultyRegistry>();
    }
    QByteArray fileBytes() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFile(const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(iniPath()).absolutePath());
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }
    void init()
    {
        // Every test starts as a user who never ran the program.
        m_config = std::make_unique<QTemporaryDir>();
        QVERIFY(m_config->isValid());
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
        TestEnvironment::clearProgramKeys();
    }

    void storeFileLivesInConfigFolder()
    {
        INI_FILE_ONLY();
        QCOMPARE(iniPath(), m_config->path() + QStringLiteral("/QorClient/HKEY_CURRENT_USER.ini"));
        qputenv("XDG_CONFIG_HOME", "");
        QCOMPARE(IniRegistry::currentUserFilePath(),
                 QDir::homePath() + QStringLiteral("/.config/QorClient/HKEY_CURRENT_USER.ini"));
    }

    void firstRunCreatesKeysButNoSubKey()
    {
        DefaultsList list;
        list.append(QStringLiteral("stale=1"));
        loadDefaults(list);
        QCOMPARE(list.count(), 0);
        QCOMPARE(readObrSoc(), QStringLiteral("-"));
        QCOMPARE(readVariant(), Variant::Normal);

        const auto registry = RegistryBackend::forCurrentUser();
        QCOMPARE(registry->keyExists(kSettings), RegistryBackend::Result::Ok);
        QCOMPARE(registry->keyExists(kInstallation), RegistryBackend::Result::Ok);
        QCOMPARE(registry->keyExists(kSettings + QStringLiteral("\\Defaults")),
                 RegistryBackend::Result::Missing);
        QCOMPARE(registry->keyExists(QStringLiteral("TfmMainDBGridEh1")),
                 RegistryBackend::Result::Missing);
        INI_FILE_ONLY();
        QCOMPARE(
            QString::fromUtf8(fileBytes()),
            QStringLiteral("[Software\\VELNOR\\Ордана 2017]\n\n[Software\\KELM\\Ордана 2017]\n"));
    }

    void obrSocOnlyExactPlusCounts_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<Variant>("variant");
        QTest::newRow("plus") << "+" << Variant::EducationSocial;
        QTest::newRow("minus") << "-" << Variant::Normal;
        QTest::newRow("plus with blank") << "+ " << Variant::Normal;
        QTest::newRow("word") << "yes" << Variant::Normal;
    }
    void obrSocOnlyExactPlusCounts()
    {
        QFETCH(QString, stored);
        QFETCH(Variant, variant);
        SettingsStore().WriteSetting(kInstallation, QString(), QStringLiteral("ObrSoc"), stored);
        QCOMPARE(readObrSoc(), stored);
        QCOMPARE(readVariant(), variant);
        writeObrSoc(Variant::EducationSocial);
        QCOMPARE(readObrSoc(), QStringLiteral("+"));
        writeObrSoc(Variant::Normal);
        QCOMPARE(readObrSoc(), QStringLiteral("-"));
    }

    void threeLinesSavedOverFive()
    {
        SettingsStore store;
        store.SaveList(QStringLiteral("Defaults"), listOf({"a=1", "b=2", "c=3", "d=4", "e=5"}));
        store.SaveList(QStringLiteral("Defaults"), listOf({"x=1", "y=2", "z=3"}));
        const QString sub = kSettings + QStringLiteral("\\Defaults");
        QCOMPARE(store.readValue(sub, "Line0"), std::optional<QString>("x=1"));
        QCOMPARE(store.readValue(sub, "Line2"), std::optional<QString>("z=3"));
        QCOMPARE(store.readValue(sub, "Line3"), std::nullopt);
        QCOMPARE(store.readValue(sub, "Line4"), std::nullopt);
        DefaultsList loaded;
        SettingsStore().LoadList(QStringLiteral("Defaults"), loaded);
        QCOMPARE(lines(loaded), QStringList({"x=1", "y=2", "z=3"}));
    }

    void saveListRewritesTheFileOnce()
    {
        INI_FILE_ONLY();
        SettingsStore().SaveList("Defaults", listOf({"a=1", "b=2", "c=3", "d=4", "e=5"}));
        int rewrites = 0;
        FileSystem::setFaultHook([&](FileSystem::Step step, const QString &) {
            rewrites += step == FileSystem::Step::Rename ? 1 : 0;
            return 0;
        });
        SettingsStore().SaveList("Defaults", listOf({"x=1", "y=2", "z=3"}));
        QCOMPARE(rewrites, 1);
        // A rewrite that fails leaves the old list whole.
        const QByteArray before = fileBytes();
        InjectFault full(FileSystem::Step::Write, 1, Fault::DiskFull);
        QCOMPARE(errorOf([] { SettingsStore().SaveList("Defaults", listOf({"p=1"})); }),
                 QStringLiteral("Ошибка записи значения для 'Line0'"));
        QCOMPARE(fileBytes(), before);
    }

    void gapInLineNumbering()
    {
        SettingsStore store;
        for (const char *name : {"Line0", "Line1", "Line3"})
            store.WriteSetting(kSettings, "Defaults", name, QStringLiteral("v=") + name);
        DefaultsList loaded;
        store.LoadList("Defaults", loaded);
        QCOMPARE(lines(loaded), QStringList({"v=Line0", "v=Line1"}));

        store.SaveList("Defaults", listOf({"p=1", "q=2"}));
        const QString sub = kSettings + QStringLiteral("\\Defaults");
        QCOMPARE(store.readValue(sub, "Line3"), std::optional<QString>("v=Line3"));
        store.LoadList("Defaults", loaded);
        QCOMPARE(lines(loaded), QStringList({"p=1", "q=2"}));
    }

    void storedNoneEndsList_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("loaded");
        QTest::newRow("none in the middle")
            << QStringList{"a=1", "None", "c=3"} << QStringList{"a=1"};
        QTest::newRow("none first") << QStringList{"None", "b=2"} << QStringList{};
        QTest::newRow("only exactly None")
            << QStringList{"none", "NONE", " None"} << QStringList{"none", "NONE", " None"};
        QTest::newRow("empty line is a line") << QStringList{"", "b=2"} << QStringList{"", "b=2"};
    }
    void storedNoneEndsList()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, loaded);
        SettingsStore store;
        for (int i = 0; i < stored.size(); ++i)
            store.WriteSetting(kSettings, "Defaults", "Line" + QString::number(i), stored.at(i));
        DefaultsList list;
        SettingsStore().LoadList("Defaults", list);
        QCOMPARE(lines(list), loaded);
    }

    void emptyJobRemovedOnNextSave()
    {
        saveDefaults(
            listOf({"@LPU=1207", "@JOB=хирургическое отделение", "Мой=ключ=значение", "@FTYPE=1"}));
        DefaultsList list;
        loadDefaults(list);
        QCOMPARE(list.value("@job"), QStringLiteral("хирургическое отделение"));
        list.setValue("@JOB", QString());
        list.setValue("@PODKOM", "12");
        saveDefaults(list);

        DefaultsList again;
        loadDefaults(again);
        // The line the program does not know survives as it was, in its place.
        QCOMPARE(lines(again),
                 QStringList({"@LPU=1207", "Мой=ключ=значение", "@FTYPE=1", "@PODKOM=12"}));
        QCOMPARE(again.value("@JOB"), QString());
    }

    void roundTripExactly_data()
    {
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("subKey");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("cyrillic everywhere") << "Software\\Ёлка\\Ордана 2017"
                                             << "Подраздел"
                                             << "Имя"
                                             << "Значение «в кавычках»";
        QTest::newRow("installation key") << kInstallation << ""
                                          << "ObrSoc"
                                          << "+";
        QTest::newRow("text with newline and tab") << kSettings << "Defaults"
                                                   << "Line0"
                                                   << "@JOB=строка 1\nстрока 2\tконец";
        QTest::newRow("outer blanks") << kSettings << "TfmMain"
                                      << " имя "
                                      << "  текст  ";
        QTest::newRow("no-break space at end") << kSettings << ""
                                               << "N" << QString("a\u00A0");
        QTest::newRow("quotes and escapes") << kSettings << ""
                                            << "\"q\""
                                            << "\"C:\\temp\\new\"";
        QTest::newRow("equals in name") << kSettings << ""
                                        << "a=b"
                                        << "=c=";
        QTest::newRow("at sign name") << kSettings << ""
                                      << "@"
                                      << "not the default value";
        QTest::newRow("comment-like") << kSettings << ""
                                      << ";x"
                                      << "; not a comment";
        QTest::newRow("section-like") << kSettings << ""
                                      << "[x]"
                                      << "[y]";
        QTest::newRow("empty text") << kSettings << ""
                                    << "E"
                                    << "";
        QTest::newRow("control characters") << kSettings << ""
                                            << "C" << QString("a\x01\x1f\x7f");
        QTest::newRow("astral character") << kSettings << ""
                                          << "S" << QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("unpaired surrogate") << kSettings << ""
                                            << "U" << QString(QChar(0xD800));
        QTest::newRow("grid default value") << "TfmMainDBGridEh1"
                                            << ""
                                            << ""
                                            << "18,1";
    }
    void roundTripExactly()
    {
        QFETCH(QString, keyPath);
        QFETCH(QString, subKey);
        QFETCH(QString, name);
        QFETCH(QString, text);
        SettingsStore().WriteSetting(keyPath, subKey, name, text);
        SettingsStore().WriteSetting(keyPath, subKey, "другое", "сосед");
        // A fresh store reads the file afresh.
        QCOMPARE(SettingsStore().ReadSetting(keyPath, subKey, name, "missing"), text);
        QCOMPARE(SettingsStore().ReadSetting(keyPath, subKey, "другое", "missing"), "сосед");
        // Names and key paths compare without regard to letter case, as in the registry.
        QCOMPARE(SettingsStore().ReadSetting(keyPath.toUpper(), subKey.toLower(), name.toUpper(),
                                             "missing"),
                 text);
    }

    void fileReadsAsTheUserExpects()
    {
        INI_FILE_ONLY();
        SettingsStore store;
        store.SaveList("Defaults", listOf({"@LPU=12", "@JOB=Отделение \"А\"; каб. 5"}));
        store.WriteSetting("TfmMainDBGridEh1", "", "DBGridEh1.FAM", "0,120,0,1,0,7,0,0,1");
        store.WriteSetting("TfmMainDBGridEh1", "", "", "18,1");
        store.WriteSetting(kInstallation, "", "ObrSoc", "+");
        QCOMPARE(QString::fromUtf8(fileBytes()),
                 QStringLiteral("[Software\\VELNOR\\Ордана 2017]\n"
                                "\n[Software\\VELNOR\\Ордана 2017\\Defaults]\n"
                                "Line0=@LPU=12\n"
                                "Line1=@JOB=Отделение \"А\"; каб. 5\n"
                                "\n[TfmMainDBGridEh1]\n"
                                "DBGridEh1.FAM=0,120,0,1,0,7,0,0,1\n"
                                "@=18,1\n"
                                "\n[Software\\KELM\\Ордана 2017]\n"
                                "ObrSoc=+\n"));
        // Nothing of the writing is left behind.
        QCOMPARE(QDir(QFileInfo(iniPath()).absolutePath()).entryList(QDir::Files),
                 QStringList({"HKEY_CURRENT_USER.ini"}));
    }

    // A store reads the file once for many values, and still sees at once what another copy of
    // the program wrote: a value of the same length, written in the same millisecond.
    void readsSeeOtherWriters()
    {
        INI_FILE_ONLY();
        SettingsStore mine;
        SettingsStore theirs;
        for (const char *value : {"1", "2", "3"}) {
            theirs.WriteSetting(kSettings, "TfmMain", "A", value);
            QCOMPARE(mine.ReadSetting(kSettings, "TfmMain", "A", ""), value);
        }
    }

    void replaceKeyKeepsNeighbours()
    {
        INI_FILE_ONLY();
        SettingsStore store;
        store.WriteSetting("TfmMainDBGridEh1", "", "DBGridEh1.FAM", "1");
        store.WriteSetting("TfmMainDBGridEh1", "Inner", "X", "2");
        store.WriteSetting("TfmMainDBGridEh10", "", "DBGridEh1.FAM", "3");
        store.WriteSetting(kInstallation, "", "ObrSoc", "+");
        store.replaceKey("tfmmaindbgrideh1", {{"DBGridEh1.NAME", "4"}, {"", "18,1"}});
        IniRegistry registry(iniPath());
        QCOMPARE(registry.keyExists("TfmMainDBGridEh1\\Inner"), RegistryBackend::Result::Missing);
        QCOMPARE(store.readValue("TfmMainDBGridEh1", "DBGridEh1.FAM"), std::nullopt);
        QCOMPARE(store.readValue("TfmMainDBGridEh1", "DBGridEh1.NAME"),
                 std::optional<QString>("4"));
        QCOMPARE(store.readValue("TfmMainDBGridEh10", "DBGridEh1.FAM"),
                 std::optional<QString>("3"));
        // The key keeps its place in the file: a user comparing two versions sees only changes.
        QVERIFY(fileBytes().startsWith("[TfmMainDBGridEh1]\nDBGridEh1.NAME=4\n@=18,1\n"));
        QCOMPARE(errorOf([&] {
                     store.writeSettings(kSettings, "TfmMain", {{"A", "1"}, {"B", "2"}});
                 }),
                 QString());
        QCOMPARE(store.ReadSetting(kSettings, "TfmMain", "B", ""), "2");
    }

    void failureTexts_data()
    {
        INI_FILE_ONLY();
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("message");
        const QString folder = "folder where the file must be";
        const QString file = "file where the folder must be";
        QTest::newRow("read, folder") << folder << "read"
                                      << "Ошибка чтения значения для 'Line0'";
        QTest::newRow("load, folder") << folder << "load"
                                      << "Ошибка чтения значения для 'Line0'";
        QTest::newRow("save, folder") << folder << "save"
                                      << "Ошибка чтения значения для 'Line0'";
        QTest::newRow("sub-key, folder") << folder << "write sub-key"
                                         << "Ошибка создания ключа TfmMain";
        QTest::newRow("value, folder") << folder << "write value"
                                       << "Ошибка записи значения для 'ObrSoc'";
        QTest::newRow("replace key, folder") << folder << "replace key"
                                             << "Ошибка записи значения для 'DBGridEh1.FAM'";
        QTest::newRow("several values, folder") << folder << "write values"
                                                << "Ошибка создания ключа TfmMain";
        QTest::newRow("read, file") << file << "read"
                                    << "";
        QTest::newRow("load, file") << file << "load"
                                    << "";
        QTest::newRow("save, file") << file << "save"
                                    << "Ошибка создания ключа Defaults";
        QTest::newRow("sub-key, file") << file << "write sub-key"
                                       << "Ошибка создания ключа TfmMain";
        QTest::newRow("value, file") << file << "write value"
                                     << "Ошибка записи значения для 'ObrSoc'";
        QTest::newRow("replace key, file") << file << "replace key"
                                           << "Ошибка записи значения для 'DBGridEh1.FAM'";
        QTest::newRow("several values, no sub-key, file") << file << "write values, no sub-key"
                                                          << "Ошибка записи значения для 'A'";
    }
    void failureTexts()
    {
        QFETCH(QString, obstacle);
        QFETCH(QString, operation);
        QFETCH(QString, message);
        // Root ignores permissions, so the store is blocked by what stands in its way.
        const QString folder = QFileInfo(iniPath()).absolutePath();
        if (obstacle.startsWith("folder")) {
            QVERIFY(QDir().mkpath(iniPath()));
        } else {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        const QString error = errorOf([&] {
            SettingsStore store;
            DefaultsList list;
            if (operation == "read")
                QCOMPARE(store.ReadSetting(kSettings, "Defaults", "Line0", "None"), "None");
            else if (operation == "load")
                store.LoadList("Defaults", list);
            else if (operation == "save")
                store.SaveList("Defaults", listOf({"a=1"}));
            else if (operation == "write sub-key")
                store.WriteSetting(kSettings, "TfmMain", "Flags", "0");
            else if (operation == "replace key")
                store.replaceKey("TfmMainDBGridEh1", {{"DBGridEh1.FAM", "0"}, {"", "18,1"}});
            else if (operation == "write values")
                store.writeSettings(kSettings, "TfmMain", {{"A", "1"}});
            else if (operation == "write values, no sub-key")
                store.writeSettings(kSettings, "", {{"A", "1"}, {"B", "2"}});
            else
                store.WriteSetting(kInstallation, "", "ObrSoc", "+");
        });
        QCOMPARE(error, message);
    }

    void failedSaveKeepsTheOldFile_data()
    {
        INI_FILE_ONLY();
        QTest::addColumn<int>("step");
        QTest::newRow("disk full") << int(FileSystem::Step::Write);
        QTest::newRow("sync") << int(FileSystem::Step::Sync);
        QTest::newRow("rename") << int(FileSystem::Step::Rename);
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(int, step);
        SettingsStore().WriteSetting(kInstallation, "", "ObrSoc", "-");
        const QByteArray before = fileBytes();
        const int diskFull = nativeError(Fault::DiskFull);
        FileSystem::setFaultHook([step, diskFull](FileSystem::Step s, const QString &) {
            return int(s) == step ? diskFull : 0;
        });
        const QString error =
            errorOf([] { SettingsStore().WriteSetting(kInstallation, "", "ObrSoc", "+"); });
        FileSystem::setFaultHook({});
        QCOMPARE(error, QStringLiteral("Ошибка записи значения для 'ObrSoc'"));
        QCOMPARE(fileBytes(), before);
        QCOMPARE(QDir(QFileInfo(iniPath()).absolutePath()).entryList(QDir::Files),
                 QStringList({"HKEY_CURRENT_USER.ini"}));
    }

    void wrongTypeText()
    {
        auto registry = faulty();
        registry->wrongType = "ShowCmd";
        SettingsStore store(std::move(registry));
        QCOMPARE(errorOf([&] { store.ReadSetting(kSettings, "TfmMain", "ShowCmd", "0"); }),
                 QStringLiteral("Неверный тип данных для 'ShowCmd'"));
    }

    void unopenableKeyPathIsNotReported()
    {
        auto registry = faulty();
        registry->failCreate = true;
        SettingsStore store(std::move(registry));
        QCOMPARE(store.ReadSetting(kSettings, "Defaults", "Line0", "None"), "None");
        QCOMPARE(errorOf([&] { store.WriteSetting(kSettings, "", "X", "1"); }), QString());
    }

    void loadListKeepsLinesReadBeforeFailure()
    {
        SettingsStore().SaveList("Defaults", listOf({"a=1", "b=2", "c=3", "d=4"}));
        auto registry = faulty();
        registry->failRead = "Line2";
        SettingsStore store(std::move(registry));
        DefaultsList list;
        list.append("old=1");
        QCOMPARE(errorOf([&] { store.LoadList("Defaults", list); }),
                 QStringLiteral("Ошибка чтения значения для 'Line2'"));
        QCOMPARE(lines(list), QStringList({"a=1", "b=2"}));
    }

    void saveListLeavesWhatWasDone_data()
    {
        QTest::addColumn<QString>("failDelete");
        QTest::addColumn<QString>("failWrite");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("delete fails") << "Line1"
                                      << ""
                                      << "Ошибка записи значения для 'Line1'" << QStringList{};
        QTest::newRow("write fails") << ""
                                     << "Line1"
                                     << "Ошибка записи значения для 'Line1'" << QStringList{"x=1"};
    }
    void saveListLeavesWhatWasDone()
    {
        QFETCH(QString, failDelete);
        QFETCH(QString, failWrite);
        QFETCH(QString, message);
        QFETCH(QStringList, left);
        SettingsStore().SaveList("Defaults", listOf({"a=1", "b=2", "c=3"}));
        auto registry = faulty();
        registry->failDelete = failDelete;
        registry->failWrite = failWrite;
        SettingsStore store(std::move(registry));
        QCOMPARE(errorOf([&] { store.SaveList("Defaults", listOf({"x=1", "y=2"})); }), message);
        const QString sub = kSettings + "\\Defaults";
        QStringList names;
        RegistryBackend::forCurrentUser()->valueNames(sub, &names);
        QStringList stored;
        for (const QString &n : names)
            stored.append(*SettingsStore().readValue(sub, n));
        if (!failDelete.isEmpty())
            QCOMPARE(stored, QStringList({"b=2", "c=3"})); // Line0 deleted, then the failure
        else
            QCOMPARE(stored, left);
    }

    void damagedFile_data()
    {
        INI_FILE_ONLY();
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<QString>("line0"); // what "Line0" reads
        const QByteArray head =
            "[Software\\VELNOR\\\xD0\x9E\xD1\x80\xD0\xB4\xD0\xB0\xD0\xBD\xD0\xB0 "
            "2017\\Defaults]\nLine0=a=1\n";
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage.append(char((i * 7919 + 13) % 256));
        QTest::newRow("binary garbage") << garbage << true << "None";
        QTest::newRow("garbage after values") << head + garbage << true << "a=1";
        QTest::newRow("line cut without newline") << head + "Line1=b" << false << "a=1";
        QTest::newRow("section cut short") << head + "[Software\\VEL" << true << "a=1";
        QTest::newRow("character cut short") << head + "Line1=\xD0" << true << "a=1";
        QTest::newRow("values under a broken section are dropped")
            << "[TfmMain\nLine0=x\n" + head << true << "a=1";
        QTest::newRow("huge file") << head + QByteArray(5 * 1024 * 1024, 'x') << true << "None";
        QTest::newRow("empty file") << QByteArray() << false << "None";
        QTest::newRow("byte order mark and CRLF")
            << "\xEF\xBB\xBF" + QByteArray(head).replace("\n", "\r\n") << false << "a=1";
    }
    // A damaged file is kept aside, and what could be read of it is used at once, as if read:
    // the user is told once, and no failure leaves the remembered values empty.
    void damagedFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, reported);
        QFETCH(QString, line0);
        writeFile(bytes);
        ScriptedDialogs dialogs;
        if (reported)
            dialogs.expectMessage();
        QString read;
        QCOMPARE(errorOf([&] { read = SettingsStore().ReadSetting(kSettings, "Defaults", "Line0", "None"); }),
                 QString());
        QCOMPARE(read, line0);
        QFile aside(iniPath() + ".damaged");
        QCOMPARE(aside.exists(), reported);
        if (reported) {
            QVERIFY(dialogs.log().at(0).text.contains(QDir::toNativeSeparators(aside.fileName())));
            // The user's file is kept as it was.
            QVERIFY(aside.open(QIODevice::ReadOnly));
            QCOMPARE(aside.readAll(), bytes);
        }
        dialogs.verifyDone();
        QCOMPARE(SettingsStore().ReadSetting(kSettings, "Defaults", "Line0", "None"), line0);
        SettingsStore().WriteSetting(kSettings, "Defaults", "Line9", "z");
        QCOMPARE(SettingsStore().ReadSetting(kSettings, "Defaults", "Line9", "None"), "z");
    }

    // The remembered defaults of a damaged file survive the close of the program.
    void damagedFileKeepsTheDefaults()
    {
        INI_FILE_ONLY();
        saveDefaults(listOf({"@LPU=85\t", "@JOB=хирургия", "@FTYPE=1"}));
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::Append));
        file.write("junk line\n");
        file.close();
        DefaultsList list;
        loadDefaults(list);
        QCOMPARE(lines(list), QStringList({"@LPU=85\t", "@JOB=хирургия", "@FTYPE=1"}));
        saveDefaults(list);
        DefaultsList again;
        loadDefaults(again);
        QCOMPARE(lines(again), lines(list));
    }

    void secondProcessReadsBackIdentically()
    {
        SettingsStore store;
        saveDefaults(listOf({"@LPU=1207", "@JOB=Отделение №2, \"Ёлка\"", "  пробелы  "}));
        store.WriteSetting(kInstallation, "", "ObrSoc", "+");
        store.WriteSetting("TfmMainDBGridEh1", "", "", "18,1");
        store.WriteSetting(kSettings, "TfmMain", "NormPos(1920x1080)", "10,20,810,620");
        store.WriteSetting(kSettings, "Подраздел\\Ещё", "Многострочное", "a\r\nb\\n");

        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--dump-store"});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        const QStringList expected = {
            "@LPU=1207", "@JOB=Отделение №2, \"Ёлка\"", "  пробелы  ", "+", "18,1", "10,20,810,620",
            "a\r\nb\\n"};
        QStringList got;
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            if (!line.isEmpty())
                got.append(QString::fromUtf8(QByteArray::fromHex(line)));
        }
        QCOMPARE(got, expected);
    }

    void twoProcessesWritingAtOnceLoseNothing()
    {
        // Each copy writes its own values; every value of both must be there at the end.
        QList<QProcess *> writers;
        for (const char *prefix : {"A", "B"}) {
            auto *p = new QProcess(this);
            p->start(QCoreApplication::applicationFilePath(), {"--write-store", prefix});
            writers.append(p);
        }
        for (QProcess *p : writers) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
        }
        qDeleteAll(writers);
        QStringList names;
        QCOMPARE(RegistryBackend::forCurrentUser()->valueNames(kSettings + "\\Параллельно", &names),
                 RegistryBackend::Result::Ok);
        QCOMPARE(names.size(), 2 * 40);
        INI_FILE_ONLY();
        QCOMPARE(IniDocument::parse(fileBytes()).firstDamagedLine(), 0);
    }

    // What closing the program writes: window state, a twenty-column layout and the defaults.
    // Every change is its own synced rewrite of the file.
    void benchmarkCloseTimeWrites()
    {
        GridLayoutState grid;
        for (int i = 0; i < 20; ++i)
            grid.columns.append({QStringLiteral("FIELD%1").arg(i), 80 + i, 0, true, 0, 7, 0});
        ScreenInfo screen;
        screen.size = QSize(1920, 1080);
        const DefaultsList defaults =
            listOf({"@LPU=1207", "@JOB=хирургия", "@FTYPE=1", "@PODKOM=3"});
        int round = 0;
        QBENCHMARK
        {
            WindowPlacement placement;
            placement.normalRect = {10 + round, 20, 810, 620};
            grid.columns[0].width = 100 + round++;
            SettingsStore store;
            saveWindowState(store, placement, false, {}, screen,
                            WindowStateSaveMoment::CloseRequest);
            saveGridLayout(store, grid);
            saveDefaults(defaults);
        }
    }
};

// The second process of the tests above: reads the store as a later run of the program would.
static int dumpStore()
{
    SettingsStore store;
    DefaultsList list;
    loadDefaults(list);
    QStringList values = list.lines();
    values << store.ReadSetting(SettingsStore::installationKeyPath(), "", "ObrSoc", "-")
           << store.readValue("TfmMainDBGridEh1", "").value_or("missing")
           << store.ReadSetting(SettingsStore::settingsKeyPath(), "TfmMain", "NormPos(1920x1080)",
                                "")
           << store.ReadSetting(SettingsStore::settingsKeyPath(), "Подраздел\\Ещё", "Многострочное",
                                "");
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    for (const QString &v : values)
        out.write(v.toUtf8().toHex() + '\n');
    return 0;
}

static int writeStore(const QString &prefix)
{
    SettingsStore store;
    for (int i = 0; i < 40; ++i)
        store.WriteSetting(SettingsStore::settingsKeyPath(), "Параллельно",
                           prefix + QString::number(i), QString::number(i));
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() >= 2 && args.at(1) == "--dump-store")
            return dumpStore();
        if (args.size() >= 3 && args.at(1) == "--write-store")
            return writeStore(args.at(2));
    } catch (const QorError &e) {
        qWarning().noquote() << e.message();
        return 2;
    }
    TstSettingsStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsstore.moc"
