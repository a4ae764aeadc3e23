#include "platform/Launcher.h"

#ifndef Q_OS_WIN

#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

namespace {

// A value of the string type: backslash, newline, tab and carriage return are escaped, and a
// leading blank is kept as "\s".
QString escapeValue(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u' ' && i == 0)
            out += QStringLiteral("\\s");
        else
            out += c;
    }
    return out;
}

// One argument of the Exec key, quoted: inside the quotes '"', '`', '$' and '\' take a
// backslash, and '%' is doubled so that it is no field code. The value's own escaping follows.
QString execArgument(const QString &argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    return escapeValue(quoted + u'"');
}

} // namespace

QString Launcher::fileName(const QString &title)
{
    return title + QStringLiteral(".desktop");
}

QByteArray Launcher::desktopEntry() const
{
    QString exec = execArgument(targetPath);
    if (!arguments.isEmpty())
        exec += u' ' + escapeValue(arguments);
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.0\n");
    text += QStringLiteral("Name=") + escapeValue(name) + u'\n';
    text += QStringLiteral("Comment=") + escapeValue(description) + u'\n';
    text += QStringLiteral("Exec=") + exec + u'\n';
    text += QStringLiteral("Path=") + escapeValue(workingFolder) + u'\n';
    text += QStringLiteral("Terminal=false\n");
    return text.toUtf8();
}

void Launcher::save(const QString &path) const
{
    const QFileInfo info(path);
    const QString temp = FileSystem::joinPath(
        info.absolutePath(), QStringLiteral(".") + info.fileName() + QStringLiteral(".tmp"));
    try {
        FileSystem::saveWhole(path, desktopEntry(), temp);
        // Desktops start only launchers marked executable.
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup |
                                        QFile::ExeOther);
    } catch (const QorError &e) {
        QFile::remove(temp);
        qWarning().noquote() << "launcher not saved:" << path << e.message();
    }
}

#endif
