#include "platform/UserFolders.h"

#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <QDir>
#include <QFileInfo>

namespace UserFolders {

QString notOwnFolderMessage(const QString &path)
{
    return QStringLiteral("Папка \"%1\" является ссылкой или принадлежит другому "
                          "пользователю: программа в неё не пишет!")
        .arg(QDir::toNativeSeparators(path));
}

void emptyTree(const QString &folder)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        const QString path = QDir::toNativeSeparators(entry.filePath());
        // QFileInfo looks at a link itself here; isDir() alone would follow it.
        const bool link = entry.isSymLink() || entry.isJunction();
        if (!link && entry.isDir()) {
            emptyTree(path);
            continue;
        }
        try {
            if (!link)
                FileSystem::clearReadOnly(path);
            FileSystem::removeFile(path);
        } catch (const QorError &) {
            // A report still open in the word processor stays; the next one takes another name.
        }
    }
}

} // namespace UserFolders
