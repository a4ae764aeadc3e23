#pragma once

#include <QString>

// The places the installer works with, in the form of the running system.
namespace InstallPlaces {

// The target folder offered first: "C:\VELNOR\QorClient2017" on Windows, the folder
// "VELNOR/QorClient2017" in the user's home folder elsewhere.
QString defaultTargetFolder();

// The folder of the earlier program generation ("C:\VELNOR\QorClient", elsewhere
// "VELNOR/QorClient" in the home folder), refused while the program is still in it.
QString earlierTargetFolder();

// The folder name with a trailing separator: "/" is appended unless it ends in one; on Windows
// "\" unless it ends in "\" or ":", and a bare drive letter ("D", "D:") becomes "D:\".
QString withTrailingSeparator(const QString &folder);

// The folder a typed folder name means, with a trailing separator: blanks and control
// characters at both ends are dropped, a relative name is taken from the current folder, "." and
// ".." parts are resolved and, elsewhere than on Windows, a leading "~" stands for the home
// folder. The letter case stays as typed.
QString absoluteFolder(const QString &typed);

// The text without blanks and control characters (codes 0 to 32) at either end.
QString trimmed(const QString &text);

// The root folder, where the folder picker starts when nothing better exists.
QString rootFolder();

// The user's desktop folder (on Linux the desktop folder of the XDG user folders, localized
// names included) and the folder of the user's program menu (on Linux the user's applications
// folder, $XDG_DATA_HOME/applications), both with a trailing separator; empty when unknown.
QString desktopFolder();
QString programsFolder();

} // namespace InstallPlaces
