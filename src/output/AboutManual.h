#pragma once

#include "platform/Dialogs.h"
#include "platform/VersionInfo.h"

#include <QString>
#include <optional>

// The two commands of the help menu.

// The About text: "Программа "<product>" версия <file version>", CR LF, the copyright notice;
// both lines empty without version information.
QString AboutText(const std::optional<VersionInfo> &info);

// Shows the About box for the running executable: caption "О программе", information icon.
void ShowAbout(Dialogs &dialogs = Dialogs::instance());

// "Руководство.doc" in the program folder.
QString ManualPath(const QString &programFolder);

// Opens the manual with the desktop's application for it; a missing manual raises
// "Файл "<path>" не найден !". Whether the desktop opened it is not looked at.
void OpenManual(const QString &programFolder);
