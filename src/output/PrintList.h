#pragma once

#include <QList>
#include <QString>

class CardTable;

// One column of the card list as it prints: its title as shown and its field's name.
struct PrintColumn
{
    QString title;
    QString fieldName;
};

// The title of the printed list: "Список для заседания комиссии "<meeting>"", the meeting as
// the meeting selector shows it.
QString PrintListTitle(const QString &meetingSelectorText);

// The folder the printed lists are written to, "tovik" in the user's own temporary folder;
// created when missing, refused when it is a link or another user's.
QString ReportFolder();

// The print command: writes the visible cards of the table, in the current order, with the
// columns in the list's current order, to the next free "R<n>.rtf" of the emptied report
// folder, marks it read-only and opens it with the desktop's application for RTF documents.
// When the desktop cannot open it, an information box says where it was written. With no
// visible card nothing happens. Returns the file written, or the empty text.
QString PrintList(const QString &title, const QList<PrintColumn> &columns, CardTable &table);
