#pragma once

#include <QByteArray>
#include <QString>

// A launcher that starts a program: a shell link (".lnk") on Windows, a freedesktop desktop entry
// (".desktop") elsewhere.
struct Launcher
{
    QString name;          // what the user sees (on Windows the file name says it)
    QString arguments;     // passed to the program; empty here
    QString targetPath;    // the program file, full path
    QString workingFolder; // the folder the program starts in
    QString description;   // the tooltip (the desktop entry's comment)

    // title + ".lnk" or ".desktop".
    static QString fileName(const QString &title);

    // Writes the launcher to path, replacing an earlier one without a question. On Windows a
    // shell-link object that cannot be created raises QorError (the system's text for the COM
    // error, or "Интерфейс не поддерживается"). Whether the launcher could be saved is not
    // examined, as the installer wants: a launcher that cannot be saved is missing, and only the
    // diagnostics output says why.
    void save(const QString &path) const;

#ifndef Q_OS_WIN
    // The desktop entry's text, UTF-8.
    QByteArray desktopEntry() const;
#endif
};
