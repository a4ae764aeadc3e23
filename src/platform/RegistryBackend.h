#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

// The per-user registry branch HKEY_CURRENT_USER, string values only. Key paths are relative to
// that branch and use backslashes as in the registry ("Software\VELNOR\Ордана 2017"); an empty
// value name stands for the key's default (unnamed) value. Key paths and value names compare
// without regard to letter case, as in the registry.
//
// Operations report failure by their result; errorString() then tells why, for diagnostics.
// Callers turn failures into the program's own messages.
class RegistryBackend
{
public:
    enum class Result {
        Ok,
        Missing,   // the key or the value does not exist
        Failed,    // the store cannot be read or written
        WrongType, // the value exists but is not a string
    };

    virtual ~RegistryBackend() = default;

    // The registry on Windows; elsewhere the INI file that stands for it.
    static std::unique_ptr<RegistryBackend> forCurrentUser();

    virtual Result keyExists(const QString &keyPath) = 0;
    // Creates the key and the keys above it; an existing key is left as it is.
    virtual bool createKey(const QString &keyPath) = 0;
    virtual Result readValue(const QString &keyPath, const QString &name, QString *text) = 0;
    // Creates the key when it is missing.
    virtual bool writeValue(const QString &keyPath, const QString &name, const QString &text) = 0;
    // A missing value or key counts as deleted.
    virtual bool deleteValue(const QString &keyPath, const QString &name) = 0;
    // Deletes the key with all keys and values below it; a missing key counts as deleted.
    virtual bool deleteKeyTree(const QString &keyPath) = 0;
    virtual Result valueNames(const QString &keyPath, QStringList *names) = 0;

    using Values = QList<QPair<QString, QString>>; // name, text

    // Several values of one key in one change where the store allows it. On failure
    // failedName tells the value that was not written.
    virtual bool writeValues(const QString &keyPath, const Values &values, QString *failedName);
    // Deletes the named values of a key and writes the others, in one change where the store
    // allows it; otherwise one by one, deletions first. On failure failedName tells the value.
    virtual bool updateValues(const QString &keyPath, const QStringList &removed,
                              const Values &values, QString *failedName);
    // The key with everything below it replaced by the values, in one change where the store
    // allows it: never half of the old and half of the new. A key that cannot be deleted is
    // left without a report, as the registry's own key deletion does; the writes report.
    virtual bool replaceKey(const QString &keyPath, const Values &values, QString *failedName);

    QString errorString() const { return m_error; }
    // What an operation found and mended on its way (a damaged store kept aside, its readable
    // values carried over), for the user; empty when there was nothing. Taken once.
    QString takeNotice() { return std::exchange(m_notice, QString()); }

protected:
    void setErrorString(const QString &error) { m_error = error; }
    void setNotice(const QString &notice) { m_notice = notice; }

private:
    QString m_error;
    QString m_notice;
};

// Joins key path parts with backslashes, dropping empty parts and doubled separators.
QString joinKeyPath(const QString &keyPath, const QString &subKey = QString());
