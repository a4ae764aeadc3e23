#include "app/ModeSelection.h"

#include <QFileInfo>

QString asciiUpper(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return out;
}

StartMode chooseStartMode(const QStringList &arguments, const QString &executablePath)
{
    // Only the first argument counts; the rest are ignored in both modes.
    if (!arguments.isEmpty() && asciiUpper(arguments.first()) == QLatin1String("SETUP"))
        return StartMode::Installer;
    if (asciiUpper(QFileInfo(executablePath).fileName()) == QLatin1String("SETUP.EXE"))
        return StartMode::Installer;
    return StartMode::Client;
}
