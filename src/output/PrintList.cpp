#include "output/PrintList.h"

#include "data/CardTable.h"
#include "output/RtfReport.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/DocumentOpener.h"
#include "platform/FileSystem.h"
#include "platform/UserFolders.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

// The first "R<n>.rtf" not taken: earlier reports still open in the word processor could not
// be deleted and keep their names.
QString freeReportName(const QString &folder)
{
    for (int n = 0;; ++n) {
        const QString path = FileSystem::joinPath(folder, QStringLiteral("R%1.rtf").arg(n));
        if (!FileSystem::anythingExists(path))
            return path;
    }
}

void markReadOnly(const QString &path)
{
    const QFile::Permissions write =
        QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
    QFile::setPermissions(path, QFile::permissions(path) & ~write); // a failure does no harm
}

} // namespace

QString PrintListTitle(const QString &meetingSelectorText)
{
    return QStringLiteral("Список для заседания комиссии \"%1\"").arg(meetingSelectorText);
}

QString ReportFolder()
{
    return UserFolders::ensureOwnFolder(UserFolders::tempFolder(), QStringLiteral("tovik"));
}

QString PrintList(const QString &title, const QList<PrintColumn> &columns, CardTable &table)
{
    table.settle();
    if (table.isEmpty())
        return QString();

    QString path;
    {
        BusyCursor busy;
        const QString folder = ReportFolder();
        UserFolders::emptyTree(folder);

        QStringList titles;
        QStringList fieldNames;
        for (const PrintColumn &column : columns) {
            titles.append(column.title);
            fieldNames.append(column.fieldName);
        }
        path = freeReportName(folder);
        FillRtfTemplate(MakeRtfTemplate(title, titles), path, table, titles, fieldNames);
        markReadOnly(path);
    }

    if (!DocumentOpener::open(path)) {
        Dialogs::instance().information(
            QStringLiteral("Список записан в файл \"%1\", но открыть его не удалось: нет "
                           "программы для документов RTF. Откройте файл вручную.")
                .arg(QDir::toNativeSeparators(path)));
    }
    return path;
}
