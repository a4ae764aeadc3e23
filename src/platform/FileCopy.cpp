#include "platform/FileCopy.h"

#include <QDir>

namespace FileCopy {

QStringList listVisibleFiles(const QString &folder)
{
    // Without QDir::Hidden and QDir::System, hidden files ("." names on Linux) and system files
    // stay out, as do sockets, pipes and dangling links.
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace FileCopy
