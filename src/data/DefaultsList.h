#pragma once

#include <QString>
#include <QStringList>

// The remembered entry defaults: an ordered list of "name=value" lines. The name is everything
// before the first "="; lines the program does not know are kept as they are.
class DefaultsList
{
public:
    // The text after the name and its "=", the name compared without regard to letter case;
    // empty when there is no such line.
    QString value(const QString &name) const;
    // A non-empty value replaces the line of that name in place or is appended;
    // the empty value removes the line.
    void setValue(const QString &name, const QString &value);

    const QStringList &lines() const { return m_lines; }
    void clear() { m_lines.clear(); }
    void append(const QString &line) { m_lines.append(line); }
    int count() const { return int(m_lines.size()); }

private:
    int indexOf(const QString &name) const;

    QStringList m_lines;
};
