#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <array>
#include <optional>

// The version information of an executable: string tables of named entries and the fixed
// version numbers. On Windows it is the executable's version resource; elsewhere the build
// embeds the same values as a record in the executable's section "qorversion" (one
// "<path>=<value>" line per value, UTF-8, with the paths of the resource's queries:
// "\VarFileInfo\Translation", "\StringFileInfo\041904E3\ProductName", "\FixedFileVersion").
class VersionInfo
{
public:
    // The version information of the running executable, or nothing when it has none.
    static std::optional<VersionInfo> ofRunningExecutable();

    // The values of an embedded record.
    static VersionInfo fromRecord(const QByteArray &record);

    // The string table of the first translation entry: language and code page as eight
    // upper-case hexadecimal digits, such as "041904E3".
    QString translationTable() const;

    // An entry of that string table; the empty text when it is missing.
    QString stringEntry(const QString &name) const;

    // The fixed file version: major, minor, release, build.
    std::array<quint16, 4> fixedFileVersion() const;

    // The "FileVersion" string, or the fixed numbers as "%d.%d.%d.%d" when it is empty.
    QString fileVersion() const;

    // One value by its path, as VerQueryValue finds it; the empty text when it is missing.
    QString query(const QString &path) const { return m_values.value(path); }
    void setValue(const QString &path, const QString &value) { m_values.insert(path, value); }

private:
    QHash<QString, QString> m_values;
};
