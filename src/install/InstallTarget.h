#pragma once

#include <QString>

// The target folder the user typed or picked in the installer dialog.
namespace InstallTarget {

// The program file in the target folder, and in the folder of an earlier installation.
inline QString programFileName()
{
    return QStringLiteral("QorClient.exe");
}

// The folder to install into (absolute, with a trailing separator) for the dialog's "OK".
// Raises QorError when the text is empty or blank ("Укажите папку для установки программы!"),
// and when it names the earlier installation's folder (letter case counts) while the program
// is still in it.
QString checkedFolder(const QString &typed);

} // namespace InstallTarget
