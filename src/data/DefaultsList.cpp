#include "data/DefaultsList.h"

int DefaultsList::indexOf(const QString &name) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines.at(i);
        const qsizetype eq = line.indexOf(u'=');
        const QStringView lineName = eq < 0 ? QStringView(line) : QStringView(line).left(eq);
        if (lineName.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString DefaultsList::value(const QString &name) const
{
    const int i = indexOf(name);
    if (i < 0)
        return QString();
    const QString &line = m_lines.at(i);
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.mid(eq + 1);
}

void DefaultsList::setValue(const QString &name, const QString &value)
{
    const int i = indexOf(name);
    if (value.isEmpty()) {
        if (i >= 0)
            m_lines.removeAt(i);
        return;
    }
    const QString line = name + u'=' + value;
    if (i >= 0)
        m_lines[i] = line;
    else
        m_lines.append(line);
}
