#pragma once

#include <QString>
#include <QStringList>

// Copying files into another folder, as the installer does. Failures are raised as
// QorSystemError with the system's code and text (SystemError).
namespace FileCopy {

// Copies source to target, replacing an existing target without a question, and gives the copy
// the "normal" marks: on Windows FILE_ATTRIBUTE_NORMAL; elsewhere the owner may read and write
// it, and an executable stays executable.
//
// Copying a file onto itself (the same path, or another path to the same file) fails with the
// system's sharing violation (32) and leaves the file as it was. Elsewhere than on Windows the
// copy is written beside the target under a hidden temporary name and then renamed over it, so a
// failed copy leaves the old target whole, and a running program can be replaced.
void copyAsNormal(const QString &source, const QString &target);

// The names of the ordinary files in folder, sorted: no sub-folders, and no hidden or system
// files (on Linux, names beginning with "."); read-only files are included.
QStringList listVisibleFiles(const QString &folder);

} // namespace FileCopy
