#include "platform/RegistryBackend.h"

#include "platform/IniRegistry.h"
#ifdef Q_OS_WIN
#include "platform/WinRegistry.h"
#endif

std::unique_ptr<RegistryBackend> RegistryBackend::forCurrentUser()
{
#ifdef Q_OS_WIN
    return std::make_unique<WinRegistry>();
#else
    return std::make_unique<IniRegistry>(IniRegistry::currentUserFilePath());
#endif
}

bool RegistryBackend::writeValues(const QString &keyPath, const Values &values, QString *failedName)
{
    for (const auto &value : values) {
        if (!writeValue(keyPath, value.first, value.second)) {
            *failedName = value.first;
            return false;
        }
    }
    return true;
}

bool RegistryBackend::updateValues(const QString &keyPath, const QStringList &removed,
                                   const Values &values, QString *failedName)
{
    for (const QString &name : removed) {
        if (!deleteValue(keyPath, name)) {
            *failedName = name;
            return false;
        }
    }
    return writeValues(keyPath, values, failedName);
}

bool RegistryBackend::replaceKey(const QString &keyPath, const Values &values, QString *failedName)
{
    deleteKeyTree(keyPath);
    if (!createKey(keyPath)) {
        *failedName = values.isEmpty() ? QString() : values.first().first;
        return false;
    }
    return writeValues(keyPath, values, failedName);
}

QString joinKeyPath(const QString &keyPath, const QString &subKey)
{
    QStringList parts;
    for (const QString &whole : {keyPath, subKey}) {
        for (const QString &part : whole.split(u'\\', Qt::SkipEmptyParts))
            parts.append(part);
    }
    return parts.join(u'\\');
}
