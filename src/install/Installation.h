#pragma once

#include <QString>

// What the installer does once the folder and the variant are chosen; no widgets.
namespace Installation {

// Installs the program from executablePath into folder (absolute, with a trailing separator):
// creates the folder with its parents; copies the executable there as "QorClient.exe"; copies
// every other visible file beside the executable except "QorClient.exe" and "SETUP.EXE" (ASCII
// letters in any case); then saves the desktop launcher and the program-menu launcher in its
// group "ГУЗ ВЕЛНОР/<title>", both named after the application title.
//
// A failed copy raises QorSystemError and ends the installation there; whatever was done
// before stays done. A launcher that cannot be saved is missing without a message. Returns the
// desktop folder when it does not exist, so that no desktop launcher was saved (the user is
// told); empty otherwise.
QString install(const QString &folder, const QString &executablePath);

} // namespace Installation
