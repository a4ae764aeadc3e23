#pragma once

#include "platform/RegistryBackend.h"

#include <QString>

#include <memory>
#include <optional>

class DefaultsList;

// What the program remembers per user between runs, in HKEY_CURRENT_USER: the remembered entry
// defaults, the main window state, the variant flag "ObrSoc" and the card-list layout. All values
// are strings. A failure throws QorError with the store's message and ends the operation where
// it happened; whatever was read, deleted or written before stays so.
class SettingsStore
{
public:
    // The current user's store: the registry on Windows, the INI file elsewhere.
    SettingsStore();
    explicit SettingsStore(std::unique_ptr<RegistryBackend> backend);
    ~SettingsStore();

    // "Software\VELNOR\Ордана 2017": sub-keys "Defaults" and "TfmMain".
    static QString settingsKeyPath();
    // "Software\KELM\Ордана 2017": the value "ObrSoc".
    static QString installationKeyPath();
    // "TfmMainDBGridEh1", directly under HKEY_CURRENT_USER: the card-list layout.
    static QString gridLayoutKeyPath();

    // The stored text, or def when the sub-key (empty: the key itself) or the value is missing.
    // Creates the key path when it is missing, but not the sub-key.
    QString ReadSetting(const QString &keyPath, const QString &subKey, const QString &valueName,
                        const QString &def);
    // Creates the key path and the sub-key as needed. An empty value name writes the key's
    // default value.
    void WriteSetting(const QString &keyPath, const QString &subKey, const QString &valueName,
                      const QString &text);

    // Lines "Line0", "Line1", ... of the sub-key of the settings key, up to the first missing
    // one or the first holding exactly "None".
    void LoadList(const QString &subKey, DefaultsList &list);
    // Deletes the stored lines from "Line0" up to the first missing or "None" one, then writes
    // every line of the list.
    void SaveList(const QString &subKey, const DefaultsList &list);

    // The stored text of a value, nullopt when the key or the value is missing; creates nothing.
    std::optional<QString> readValue(const QString &keyPath, const QString &valueName);

    // Several values written as WriteSetting does, in one change of the store where it allows:
    // what closing the program saves is not spread over many rewrites of the file.
    void writeSettings(const QString &keyPath, const QString &subKey,
                       const RegistryBackend::Values &values);
    // Deletes the key with everything in it and writes the values: a key the program rewrites
    // whole. In one change where the store allows, so that never half a key is left.
    void replaceKey(const QString &keyPath, const RegistryBackend::Values &values);

private:
    [[noreturn]] void throwFailure(const QString &format, const QString &name) const;
    QString checkedRead(const QString &keyPath, const QString &valueName, bool *found);

    // Tells the user what the backend mended on its way (a damaged file), once.
    void reportNotice() const;

    std::unique_ptr<RegistryBackend> m_backend;
};
