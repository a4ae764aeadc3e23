#include "platform/IniDocument.h"

#include "platform/IniQuoting.h"
#include "platform/RegistryBackend.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

const QString kDefaultValueName = QStringLiteral("@");

bool samePath(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isBelow(const QString &path, const QString &ancestor)
{
    return path.size() > ancestor.size() + 1 && path.at(ancestor.size()) == u'\\' &&
           path.startsWith(ancestor, Qt::CaseInsensitive);
}

bool decodeLine(QByteArray raw, QString *line)
{
    if (raw.contains('\0'))
        return false;
    // Keep a byte order mark inside the text: only the file's own first one is dropped.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    *line = decoder.decode(raw);
    return !decoder.hasError();
}

// "[path]" or "["quoted path"]"
bool parseSection(const QString &line, QString *path)
{
    if (line.size() > 1 && line.at(1) == u'"') {
        qsizetype end = 0;
        if (!IniQuoting::unquote(line, 1, path, &end))
            return false;
        const QString rest = line.mid(end).trimmed();
        if (rest != QStringLiteral("]"))
            return false;
    } else {
        if (!line.endsWith(u']'))
            return false;
        *path = line.mid(1, line.size() - 2).trimmed();
    }
    *path = joinKeyPath(*path);
    return true;
}

// "name=value", either part possibly quoted; "@" names the default value.
bool parseValue(const QString &line, QString *name, QString *text)
{
    qsizetype eq = -1;
    if (line.startsWith(u'"')) {
        qsizetype end = 0;
        if (!IniQuoting::unquote(line, 0, name, &end))
            return false;
        while (end < line.size() && line.at(end).isSpace())
            ++end;
        if (end >= line.size() || line.at(end) != u'=')
            return false;
        eq = end;
    } else {
        eq = line.indexOf(u'=');
        if (eq <= 0)
            return false;
        *name = line.left(eq).trimmed();
        if (name->isEmpty())
            return false;
        if (*name == kDefaultValueName)
            name->clear();
    }
    const QString rest = line.mid(eq + 1).trimmed();
    if (!rest.startsWith(u'"')) {
        *text = rest;
        return true;
    }
    qsizetype end = 0;
    return IniQuoting::unquote(rest, 0, text, &end) && rest.mid(end).trimmed().isEmpty();
}

} // namespace

IniDocument IniDocument::parse(const QByteArray &bytes)
{
    IniDocument doc;
    int current = -1;      // the key the next values belong to; -1 before any section
    bool dropping = false; // under a section line that could not be understood
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray raw = lines.at(i);
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (i == 0 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        QString line;
        if (!decodeLine(raw, &line)) {
            doc.noteDamage(i + 1);
            continue;
        }
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            QString path;
            dropping = !parseSection(line, &path);
            if (dropping)
                doc.noteDamage(i + 1);
            else // the branch itself has no section of its own: it is made by its values
                current = path.isEmpty() ? -1 : doc.ensureKey(path);
            continue;
        }
        QString name;
        QString text;
        if (!parseValue(line, &name, &text)) {
            doc.noteDamage(i + 1);
            continue;
        }
        if (dropping)
            continue;
        if (current < 0)
            current = doc.ensureKey(QString());
        doc.setValue(doc.m_keys.at(current).path, name, text);
    }
    return doc;
}

QByteArray IniDocument::toBytes() const
{
    QString out;
    // Values of the branch itself come before the first section, where a reader expects them.
    for (const Key &key : m_keys) {
        if (key.path.isEmpty()) {
            for (const Value &v : key.values)
                out += nameText(v.name) + u'=' + valueText(v.text) + u'\n';
        }
    }
    for (const Key &key : m_keys) {
        if (key.path.isEmpty())
            continue;
        if (!out.isEmpty())
            out += u'\n';
        out += u'[' + pathText(key.path) + QStringLiteral("]\n");
        for (const Value &v : key.values)
            out += nameText(v.name) + u'=' + valueText(v.text) + u'\n';
    }
    return out.toUtf8();
}

QString IniDocument::pathText(const QString &path)
{
    const bool quote = path.startsWith(u'"') || IniQuoting::hasUnsafeCharacters(path) ||
                       IniQuoting::hasOuterBlanks(path);
    return quote ? IniQuoting::quote(path) : path;
}

QString IniDocument::nameText(const QString &name)
{
    if (name.isEmpty())
        return kDefaultValueName;
    const bool quote = name == kDefaultValueName || name.contains(u'=') || name.startsWith(u'"') ||
                       name.startsWith(u'[') || name.startsWith(u';') || name.startsWith(u'#') ||
                       IniQuoting::hasUnsafeCharacters(name) || IniQuoting::hasOuterBlanks(name);
    return quote ? IniQuoting::quote(name) : name;
}

QString IniDocument::valueText(const QString &text)
{
    const bool quote = text.startsWith(u'"') || IniQuoting::hasUnsafeCharacters(text) ||
                       IniQuoting::hasOuterBlanks(text);
    return quote ? IniQuoting::quote(text) : text;
}

bool IniDocument::keyExists(const QString &path) const
{
    if (path.isEmpty())
        return true;
    for (const Key &key : m_keys) {
        if (samePath(key.path, path) || isBelow(key.path, path))
            return true;
    }
    return false;
}

bool IniDocument::createKey(const QString &path)
{
    if (keyExists(path))
        return false;
    ensureKey(path);
    return true;
}

bool IniDocument::setValue(const QString &path, const QString &name, const QString &text)
{
    Key &key = m_keys[ensureKey(path)];
    for (Value &v : key.values) {
        if (samePath(v.name, name)) {
            if (v.text == text)
                return false;
            v.text = text;
            return true;
        }
    }
    key.values.append({name, text});
    return true;
}

bool IniDocument::removeValue(const QString &path, const QString &name)
{
    const int k = indexOfKey(path);
    if (k < 0)
        return false;
    QList<Value> &values = m_keys[k].values;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (samePath(values.at(i).name, name)) {
            values.removeAt(i);
            return true;
        }
    }
    return false;
}

bool IniDocument::removeKeyTree(const QString &path)
{
    return m_keys.removeIf([&](const Key &key) {
        return samePath(key.path, path) || isBelow(key.path, path);
    }) > 0;
}

bool IniDocument::replaceKey(const QString &path, const QList<Value> &values)
{
    const bool below = m_keys.removeIf([&](const Key &key) { return isBelow(key.path, path); }) > 0;
    const bool existed = indexOfKey(path) >= 0;
    QList<Value> &stored = m_keys[ensureKey(path)].values;
    const bool same = stored.size() == values.size() &&
                      std::equal(stored.cbegin(), stored.cend(), values.cbegin(),
                                 [](const Value &a, const Value &b) {
                                     return a.name == b.name && a.text == b.text;
                                 });
    if (!same)
        stored = values;
    return below || !existed || !same;
}

const QString *IniDocument::value(const QString &path, const QString &name) const
{
    const int k = indexOfKey(path);
    if (k < 0)
        return nullptr;
    for (const Value &v : m_keys.at(k).values) {
        if (samePath(v.name, name))
            return &v.text;
    }
    return nullptr;
}

QStringList IniDocument::valueNames(const QString &path) const
{
    QStringList names;
    const int k = indexOfKey(path);
    if (k >= 0) {
        for (const Value &v : m_keys.at(k).values)
            names.append(v.name);
    }
    return names;
}

int IniDocument::indexOfKey(const QString &path) const
{
    for (int i = 0; i < m_keys.size(); ++i) {
        if (samePath(m_keys.at(i).path, path))
            return i;
    }
    return -1;
}

int IniDocument::ensureKey(const QString &path)
{
    const int k = indexOfKey(path);
    if (k >= 0)
        return k;
    m_keys.append({path, {}});
    return int(m_keys.size() - 1);
}

void IniDocument::noteDamage(int lineNumber)
{
    if (m_firstDamagedLine == 0)
        m_firstDamagedLine = lineNumber;
}
