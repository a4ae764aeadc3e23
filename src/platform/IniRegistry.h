#pragma once

#include "platform/FileSystemNative.h"
#include "platform/RegistryBackend.h"

#include <memory>

class IniDocument;

// HKEY_CURRENT_USER as one INI file, for systems without a registry.
//
// Every operation reads the file afresh (a store reads it again only once it has changed since
// it last read it: FileSystemNative::stamp), and every change rewrites it whole: into a temporary
// file in the same folder, flushed and synced, then renamed over the old one. So the file is
// never half-written, and when two copies of the program share it each change lands on the
// values as they are on disk: the last writer wins value by value. A lock file beside it keeps
// two changes from overlapping; when it cannot be had in time the change goes ahead anyway.
//
// A file that cannot be understood (bytes that are not UTF-8 text, lines that are neither
// sections nor values, a file over kMaxFileSize) is kept beside as "<name>.damaged", the values
// that could be read are written to a new file, and the operation goes on with them as if they
// had been read: nothing recovered is lost, and takeNotice() tells the user once.
class IniRegistry : public RegistryBackend
{
public:
    explicit IniRegistry(QString filePath);
    ~IniRegistry() override;

    // $XDG_CONFIG_HOME/QorClient/HKEY_CURRENT_USER.ini, ~/.config when the variable is unset,
    // empty or not an absolute path.
    static QString currentUserFilePath();
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    QString filePath() const { return m_path; }

    Result keyExists(const QString &keyPath) override;
    bool createKey(const QString &keyPath) override;
    Result readValue(const QString &keyPath, const QString &name, QString *text) override;
    bool writeValue(const QString &keyPath, const QString &name, const QString &text) override;
    bool deleteValue(const QString &keyPath, const QString &name) override;
    bool deleteKeyTree(const QString &keyPath) override;
    Result valueNames(const QString &keyPath, QStringList *names) override;
    bool writeValues(const QString &keyPath, const Values &values, QString *failedName) override;
    bool updateValues(const QString &keyPath, const QStringList &removed, const Values &values,
                      QString *failedName) override;
    bool replaceKey(const QString &keyPath, const Values &values, QString *failedName) override;

private:
    template <typename Read> Result read(Read &&read);
    template <typename Change> bool change(Change &&apply);
    bool load(IniDocument *doc);
    bool setAside(IniDocument *salvaged);
    bool save(const IniDocument &doc);
    bool fail(const QString &error);

    QString m_path;
    // The document as last read, with the file's stamp then: a start reads some forty values,
    // and each read would lock, read and parse the whole file.
    std::unique_ptr<IniDocument> m_lastRead;
    FileSystemNative::FileStamp m_lastReadStamp;
};
