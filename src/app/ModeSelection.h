#pragma once

#include <QString>
#include <QStringList>

// Installer or client: the first argument "SETUP", or the executable named "SETUP.EXE",
// letter case of ASCII letters ignored, selects the installer.
enum class StartMode { Client, Installer };

StartMode chooseStartMode(const QStringList &arguments, const QString &executablePath);

// ASCII letters to upper case; every other character stays as it is.
QString asciiUpper(const QString &text);
