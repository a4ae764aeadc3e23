#include "app/settings/SettingsStore.h"

#include "app/AppTitle.h"
#include "data/DefaultsList.h"
#include "platform/Dialogs.h"
#include "platform/QorError.h"

#include <QDebug>

namespace {

const char kCreateKeyFailed[] = "Ошибка создания ключа %1";
const char kWriteFailed[] = "Ошибка записи значения для '%1'";
const char kReadFailed[] = "Ошибка чтения значения для '%1'";
const char kWrongType[] = "Неверный тип данных для '%1'";

const QString kNone = QStringLiteral("None");

QString lineName(int index)
{
    return QStringLiteral("Line") + QString::number(index);
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(RegistryBackend::forCurrentUser()) {}

SettingsStore::SettingsStore(std::unique_ptr<RegistryBackend> backend)
    : m_backend(std::move(backend))
{}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::settingsKeyPath()
{
    return QStringLiteral("Software\\VELNOR\\") + applicationTitle();
}

QString SettingsStore::installationKeyPath()
{
    return QStringLiteral("Software\\KELM\\") + applicationTitle();
}

QString SettingsStore::gridLayoutKeyPath()
{
    return QStringLiteral("TfmMainDBGridEh1");
}

void SettingsStore::throwFailure(const QString &format, const QString &name) const
{
    // The message stays the store's own; why it failed goes to the diagnostics output.
    if (!m_backend->errorString().isEmpty())
        qWarning().noquote() << "settings store:" << m_backend->errorString();
    throw QorError(format.arg(name));
}

QString SettingsStore::checkedRead(const QString &keyPath, const QString &valueName, bool *found)
{
    QString text;
    switch (m_backend->readValue(keyPath, valueName, &text)) {
    case RegistryBackend::Result::Ok:
        *found = true;
        return text;
    case RegistryBackend::Result::Missing:
        *found = false;
        return QString();
    case RegistryBackend::Result::WrongType:
        throwFailure(QString::fromUtf8(kWrongType), valueName);
    case RegistryBackend::Result::Failed:
        break;
    }
    throwFailure(QString::fromUtf8(kReadFailed), valueName);
}

void SettingsStore::reportNotice() const
{
    // Once per mend: the store that was set aside is sound again afterwards.
    const QString notice = m_backend->takeNotice();
    if (!notice.isEmpty())
        Dialogs::instance().warning(applicationTitle(), notice);
}

QString SettingsStore::ReadSetting(const QString &keyPath, const QString &subKey,
                                   const QString &valueName, const QString &def)
{
    // A key path that cannot be created is not reported here; a store that cannot be read at
    // all is, as a failed read of the value.
    const RegistryBackend::Result key = m_backend->keyExists(keyPath);
    reportNotice();
    switch (key) {
    case RegistryBackend::Result::Missing:
        m_backend->createKey(keyPath);
        break;
    case RegistryBackend::Result::Failed:
        throwFailure(QString::fromUtf8(kReadFailed), valueName);
    default:
        break;
    }
    bool found = false;
    const QString text = checkedRead(joinKeyPath(keyPath, subKey), valueName, &found);
    return found ? text : def;
}

void SettingsStore::WriteSetting(const QString &keyPath, const QString &subKey,
                                 const QString &valueName, const QString &text)
{
    m_backend->createKey(keyPath); // as in ReadSetting: the value's write reports
    reportNotice();
    const QString path = joinKeyPath(keyPath, subKey);
    if (!subKey.isEmpty() && !m_backend->createKey(path))
        throwFailure(QString::fromUtf8(kCreateKeyFailed), subKey);
    if (!m_backend->writeValue(path, valueName, text))
        throwFailure(QString::fromUtf8(kWriteFailed), valueName);
}

void SettingsStore::LoadList(const QString &subKey, DefaultsList &list)
{
    list.clear();
    for (int i = 0;; ++i) {
        const QString line = ReadSetting(settingsKeyPath(), subKey, lineName(i), kNone);
        if (line == kNone)
            return;
        list.append(line);
    }
}

void SettingsStore::SaveList(const QString &subKey, const DefaultsList &list)
{
    // The stored lines up to the first missing or "None" one go, so that no stale line comes
    // back as part of the list at the next load; then the list is written. One change of the
    // store, where it allows: the file is rewritten once, and a failure leaves the old list.
    QStringList stale;
    for (int i = 0; ReadSetting(settingsKeyPath(), subKey, lineName(i), kNone) != kNone; ++i)
        stale.append(lineName(i));
    RegistryBackend::Values lines;
    for (int i = 0; i < list.count(); ++i)
        lines.append({lineName(i), list.lines().at(i)});
    const QString path = joinKeyPath(settingsKeyPath(), subKey);
    m_backend->createKey(settingsKeyPath());
    if (!subKey.isEmpty() && !m_backend->createKey(path))
        throwFailure(QString::fromUtf8(kCreateKeyFailed), subKey);
    QString failed;
    if (!m_backend->updateValues(path, stale, lines, &failed))
        throwFailure(QString::fromUtf8(kWriteFailed), failed);
}

std::optional<QString> SettingsStore::readValue(const QString &keyPath, const QString &valueName)
{
    bool found = false;
    const QString text = checkedRead(keyPath, valueName, &found);
    reportNotice();
    return found ? std::optional<QString>(text) : std::nullopt;
}

void SettingsStore::writeSettings(const QString &keyPath, const QString &subKey,
                                  const RegistryBackend::Values &values)
{
    m_backend->createKey(keyPath);
    reportNotice();
    const QString path = joinKeyPath(keyPath, subKey);
    if (!subKey.isEmpty() && !m_backend->createKey(path))
        throwFailure(QString::fromUtf8(kCreateKeyFailed), subKey);
    QString failed;
    if (!m_backend->writeValues(path, values, &failed))
        throwFailure(QString::fromUtf8(kWriteFailed), failed);
}

void SettingsStore::replaceKey(const QString &keyPath, const RegistryBackend::Values &values)
{
    QString failed;
    const bool replaced = m_backend->replaceKey(keyPath, values, &failed);
    reportNotice();
    if (!replaced)
        throwFailure(QString::fromUtf8(kWriteFailed), failed);
}
