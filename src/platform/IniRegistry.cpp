#include "platform/IniRegistry.h"

#include "platform/FileSystem.h"
#include "platform/IniDocument.h"
#include "platform/QorError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <optional>

namespace {

constexpr int kLockWaitMs = 3000;

// Writes the whole file through the program's safe save: a temporary file in the same folder,
// synced and renamed over the old file, so that the file on disk is always either the old one
// or the new one.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFileInfo info(path);
    if (info.isSymLink())
        info = QFileInfo(info.symLinkTarget()); // keep a link the user made; write where it points
    const QString target = info.absoluteFilePath();
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("не удаётся создать папку %1").arg(folder);
        return false;
    }
    if (info.isDir()) {
        *error = QStringLiteral("на месте файла %1 находится папка").arg(target);
        return false;
    }
    // Named by the process, so that two copies never share it even when the lock was not had.
    const QString temp = target + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid());
    try {
        FileSystem::saveWhole(target, bytes, temp);
    } catch (const QorError &e) {
        QFile::remove(temp);
        *error = QStringLiteral("%1: %2").arg(target, e.message());
        return false;
    }
    return true;
}

} // namespace

IniRegistry::IniRegistry(QString filePath) : m_path(std::move(filePath)) {}

IniRegistry::~IniRegistry() = default;

QString IniRegistry::currentUserFilePath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/QorClient/HKEY_CURRENT_USER.ini");
}

// Holds the lock file beside the settings file while one operation reads or changes it.
// Best effort: without a folder there is nothing to guard, and a lock that cannot be had
// in time does not stop the operation.
class IniRegistryLock
{
public:
    explicit IniRegistryLock(const QString &path)
    {
        if (QFileInfo(QFileInfo(path).absolutePath()).isDir()) {
            m_lock.emplace(path + QStringLiteral(".lock"));
            m_lock->tryLock(kLockWaitMs);
        }
    }

private:
    std::optional<QLockFile> m_lock;
};

template <typename Read> RegistryBackend::Result IniRegistry::read(Read &&read)
{
    if (m_lastRead && FileSystem::stamp(m_path) == m_lastReadStamp)
        return read(*m_lastRead);
    IniRegistryLock lock(m_path);
    const FileSystemNative::FileStamp before = FileSystem::stamp(m_path);
    auto doc = std::make_unique<IniDocument>();
    if (!load(doc.get()))
        return Result::Failed;
    const Result result = read(*doc);
    // Kept only when what was read is the file as it still stands (a damaged file was just
    // set aside and rewritten).
    if (FileSystem::stamp(m_path) == before) {
        m_lastRead = std::move(doc);
        m_lastReadStamp = before;
    }
    return result;
}

template <typename Change> bool IniRegistry::change(Change &&apply)
{
    m_lastRead.reset();
    IniRegistryLock lock(m_path);
    IniDocument doc;
    if (!load(&doc))
        return false;
    if (!apply(doc))
        return true; // nothing changed: the file stays untouched
    return save(doc);
}

bool IniRegistry::load(IniDocument *doc)
{
    *doc = IniDocument();
    const QFileInfo info(m_path);
    if (info.isDir())
        return fail(QStringLiteral("на месте файла настроек %1 находится папка").arg(m_path));
    if (!info.exists())
        return true; // nothing stored yet
    if (info.isFile() && info.size() > kMaxFileSize)
        return setAside(doc);
    QByteArray bytes;
    try {
        // Never waits on a FIFO, never follows a link to a device.
        bytes = FileSystem::readWhole(m_path);
    } catch (const QorError &e) {
        return fail(QStringLiteral("файл настроек %1 не читается: %2").arg(m_path, e.message()));
    }
    if (bytes.size() > kMaxFileSize)
        return setAside(doc);
    *doc = IniDocument::parse(bytes);
    return doc->firstDamagedLine() == 0 || setAside(doc);
}

bool IniRegistry::setAside(IniDocument *salvaged)
{
    const QString aside = m_path + QStringLiteral(".damaged");
    QFile::remove(aside);
    if (!QFile::rename(m_path, aside))
        return fail(QStringLiteral("файл настроек %1 повреждён; переименовать его в %2 не удалось")
                        .arg(m_path, aside));
    if (!salvaged->isEmpty() && !save(*salvaged))
        return fail(QStringLiteral("файл настроек %1 повреждён; он сохранён как %2, но новый файл "
                                   "не записан: %3")
                        .arg(m_path, aside, errorString()));
    setNotice(QStringLiteral("Файл настроек \"%1\" был повреждён. Он сохранён как \"%2\"; "
                             "значения, которые удалось прочитать, перенесены в новый файл.")
                  .arg(QDir::toNativeSeparators(m_path), QDir::toNativeSeparators(aside)));
    return true;
}

bool IniRegistry::save(const IniDocument &doc)
{
    QString error;
    if (replaceFile(m_path, doc.toBytes(), &error))
        return true;
    return fail(QStringLiteral("файл настроек не записан: ") + error);
}

bool IniRegistry::fail(const QString &error)
{
    setErrorString(error);
    return false;
}

RegistryBackend::Result IniRegistry::keyExists(const QString &keyPath)
{
    const QString path = joinKeyPath(keyPath);
    return read(
        [&](const IniDocument &doc) { return doc.keyExists(path) ? Result::Ok : Result::Missing; });
}

bool IniRegistry::createKey(const QString &keyPath)
{
    const QString path = joinKeyPath(keyPath);
    return change([&](IniDocument &doc) { return doc.createKey(path); });
}

RegistryBackend::Result IniRegistry::readValue(const QString &keyPath, const QString &name,
                                               QString *text)
{
    const QString path = joinKeyPath(keyPath);
    return read([&](const IniDocument &doc) {
        const QString *stored = doc.value(path, name);
        if (!stored)
            return Result::Missing;
        *text = *stored;
        return Result::Ok;
    });
}

bool IniRegistry::writeValue(const QString &keyPath, const QString &name, const QString &text)
{
    const QString path = joinKeyPath(keyPath);
    return change([&](IniDocument &doc) { return doc.setValue(path, name, text); });
}

bool IniRegistry::deleteValue(const QString &keyPath, const QString &name)
{
    const QString path = joinKeyPath(keyPath);
    return change([&](IniDocument &doc) { return doc.removeValue(path, name); });
}

bool IniRegistry::deleteKeyTree(const QString &keyPath)
{
    const QString path = joinKeyPath(keyPath);
    if (path.isEmpty())
        return fail(QStringLiteral("раздел HKEY_CURRENT_USER целиком не удаляется"));
    return change([&](IniDocument &doc) { return doc.removeKeyTree(path); });
}

RegistryBackend::Result IniRegistry::valueNames(const QString &keyPath, QStringList *names)
{
    const QString path = joinKeyPath(keyPath);
    return read([&](const IniDocument &doc) {
        if (!doc.keyExists(path))
            return Result::Missing;
        *names = doc.valueNames(path);
        return Result::Ok;
    });
}

bool IniRegistry::writeValues(const QString &keyPath, const Values &values, QString *failedName)
{
    const QString path = joinKeyPath(keyPath);
    const bool written = change([&](IniDocument &doc) {
        bool changed = false;
        for (const auto &value : values)
            changed = doc.setValue(path, value.first, value.second) || changed;
        return changed;
    });
    if (!written && !values.isEmpty())
        *failedName = values.first().first;
    return written;
}

bool IniRegistry::updateValues(const QString &keyPath, const QStringList &removed,
                               const Values &values, QString *failedName)
{
    const QString path = joinKeyPath(keyPath);
    const bool written = change([&](IniDocument &doc) {
        bool changed = false;
        for (const QString &name : removed)
            changed = doc.removeValue(path, name) || changed;
        for (const auto &value : values)
            changed = doc.setValue(path, value.first, value.second) || changed;
        return changed;
    });
    if (!written)
        *failedName = !removed.isEmpty() ? removed.first()
                      : values.isEmpty() ? QString()
                                         : values.first().first;
    return written;
}

bool IniRegistry::replaceKey(const QString &keyPath, const Values &values, QString *failedName)
{
    const QString path = joinKeyPath(keyPath);
    if (path.isEmpty())
        return fail(QStringLiteral("раздел HKEY_CURRENT_USER целиком не заменяется"));
    QList<IniDocument::Value> replacement;
    for (const auto &value : values)
        replacement.append({value.first, value.second});
    const bool written =
        change([&](IniDocument &doc) { return doc.replaceKey(path, replacement); });
    if (!written && !values.isEmpty())
        *failedName = values.first().first;
    return written;
}
