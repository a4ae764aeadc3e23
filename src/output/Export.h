#pragma once

#include "platform/Dialogs.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class CardTable;
class ReferenceLists;

// The export of the cards the list shows to "Qor21.exp" in a folder of the user's choice, in
// the card text format, and its log "Export.log" in the program folder.

struct ExportResult
{
    QString path;  // the export file
    int count = 0; // cards written
};

// The export file of a folder: the folder, a separator unless it ends in one, "Qor21.exp".
QString ExportFilePath(const QString &folder);

// One log entry: 33 asterisks, the export file's path, "Дата выгрузки: " with the date and
// time as dd.MM.yyyy H:mm:ss, "Выгружено записей: " with the count; Windows-1251, CR LF.
QByteArray ExportLogEntry(const QString &exportPath, int count, const QDateTime &when);

// Writes the visible cards of the table, in the current order, to the export file of folder
// (an old one is replaced) and appends the entry to "Export.log" of programFolder. A card the
// lists refuse stops the export with its message, and nothing is logged; a write that fails
// leaves no export file.
ExportResult WriteExport(CardTable &table, const ReferenceLists &lists, const QString &folder,
                         const QString &programFolder);

// The export command: refuses without a current meeting, asks for the folder ("Отмена" ends
// it), writes and logs, and reports the count.
void ExportCommand(const QString &meeting, CardTable &table, const ReferenceLists &lists,
                   const QString &programFolder, Dialogs &dialogs = Dialogs::instance());
