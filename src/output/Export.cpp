#include "output/Export.h"

#include "data/CardTextFormat.h"
#include "platform/Clock.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <QDir>
#include <QStandardPaths>

QString ExportFilePath(const QString &folder)
{
    return FileSystem::joinPath(QDir::toNativeSeparators(folder), QStringLiteral("Qor21.exp"));
}

QByteArray ExportLogEntry(const QString &exportPath, int count, const QDateTime &when)
{
    const QString entry = QString(33, u'*') + QLatin1String("\r\n") + exportPath +
                          QLatin1String("\r\n") + QStringLiteral("Дата выгрузки: ") +
                          when.toString(QStringLiteral("dd.MM.yyyy H:mm:ss")) +
                          QLatin1String("\r\n") + QStringLiteral("Выгружено записей: ") +
                          QString::number(count) + QLatin1String("\r\n");
    return Cp1251::encode(entry);
}

ExportResult WriteExport(CardTable &table, const ReferenceLists &lists, const QString &folder,
                         const QString &programFolder)
{
    ExportResult result;
    result.path = ExportFilePath(folder);
    // The log holds the path in Windows-1251: a folder it cannot name is refused before a byte
    // is written, rather than an export that is there but reported as failed.
    const QString bad = Cp1251::firstUnencodableCharacter(result.path);
    if (!bad.isEmpty())
        throw QorError(QStringLiteral("Символа \"%1\" в пути \"%2\" нет в кодировке Windows-1251: "
                                      "журнал выгрузки не может его записать. Выберите другую "
                                      "папку")
                           .arg(bad, result.path));
    if (FileSystem::anythingExists(result.path)) {
        try {
            FileSystem::removeFile(result.path);
        } catch (const QorError &) {
            // The write replaces it all the same.
        }
    }
    try {
        result.count = WriteCards(table, lists, result.path);
    } catch (const QorFileError &) {
        // An export cut short by the disk must not pass for a whole one.
        try {
            FileSystem::removeFile(result.path);
        } catch (const QorError &) {
            // The failure of the write is the one reported.
        }
        throw;
    }
    FileSystem::appendWhole(FileSystem::joinPath(programFolder, QStringLiteral("Export.log")),
                            ExportLogEntry(result.path, result.count, Clock::now()));
    return result;
}

void ExportCommand(const QString &meeting, CardTable &table, const ReferenceLists &lists,
                   const QString &programFolder, Dialogs &dialogs)
{
    if (meeting.isEmpty())
        throw QorError(QStringLiteral("Сначала добавьте заседание!"));

    // Browsing starts on the desktop, with no folder chosen.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!dialogs.chooseFolder(QStringLiteral("Выберите папку для сохранения выгрузки:"), folder))
        return;

    const ExportResult result = WriteExport(table, lists, folder, programFolder);
    dialogs.information(
        QStringLiteral("Выгружено записей в файл \"%1\": %2").arg(result.path).arg(result.count));
}
