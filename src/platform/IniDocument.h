#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The text of the INI file that stands for HKEY_CURRENT_USER, held in memory: one [section] per
// key path, written as in the registry with backslashes, and one name=value line per value.
// The key's default value is named "@". The file is UTF-8; names, paths and values are written as
// they are, and only those that would not read back (control characters, leading or trailing
// blanks, a leading quote, "=" in a name, a name "@") are written in double quotes with
// backslash escapes.
//
// Keys above a written key exist without a section of their own, as in the registry.
// Key paths and value names compare without regard to letter case.
class IniDocument
{
public:
    struct Value
    {
        QString name;
        QString text;
    };
    struct Key
    {
        QString path;
        QList<Value> values;
    };

    // Reads the file's bytes. Lines that cannot be understood are skipped (values under a
    // section line that cannot be understood with them); firstDamagedLine() tells the first.
    static IniDocument parse(const QByteArray &bytes);
    QByteArray toBytes() const;

    // 1-based number of the first line that could not be understood; 0 when there is none.
    int firstDamagedLine() const { return m_firstDamagedLine; }
    bool isEmpty() const { return m_keys.isEmpty(); }
    const QList<Key> &keys() const { return m_keys; }

    bool keyExists(const QString &path) const;
    // The following return whether the document changed.
    bool createKey(const QString &path);
    bool setValue(const QString &path, const QString &name, const QString &text);
    bool removeValue(const QString &path, const QString &name);
    bool removeKeyTree(const QString &path);
    // The key keeps its place in the file; the keys below it go.
    bool replaceKey(const QString &path, const QList<Value> &values);

    // Null when the key or the value is missing.
    const QString *value(const QString &path, const QString &name) const;
    QStringList valueNames(const QString &path) const;

    // The written forms, exposed for tests of the escaping.
    static QString pathText(const QString &path);
    static QString nameText(const QString &name);
    static QString valueText(const QString &text);

private:
    int indexOfKey(const QString &path) const;
    int ensureKey(const QString &path);
    void noteDamage(int lineNumber);

    QList<Key> m_keys;
    int m_firstDamagedLine = 0;
};
