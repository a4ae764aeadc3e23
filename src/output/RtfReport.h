#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class CardTable;

// The printed list: an RTF document with a title and a bordered table, one row per visible
// card, one column per column of the card list after the numbering column "№ п/п". The bytes
// are Windows-1251; a template with markers is built from the titles and then filled:
//   "[_]"        bounds of the record block, written once per card;
//   "[#]"        the card's running number;
//   "[" title "]" the card's text in the column with that title.

// Text made safe for RTF, byte by byte over its Windows-1251 form: CR becomes "\par " and CR,
// LF is dropped, "\", "{" and "}" get a backslash, Ё, ё, № and А to я become "\'xx"; every
// other byte stays. Throws QorError on a character Windows-1251 cannot hold.
QByteArray RtfEscape(const QString &text);

// The template: header, title paragraph and the table with its header row and record block;
// lines end in CR LF.
QByteArray MakeRtfTemplate(const QString &title, const QStringList &columnTitles);

// Writes the file: the template without its own line breaks, the record block once per
// visible card of the table in the current order, numbered from 1, with each column's marker
// replaced by the card's text as the list shows it (blanks and control characters at both ends
// removed). The file is replaced; the current card and the views stay as they were.
void FillRtfTemplate(const QByteArray &rtfTemplate, const QString &fileName, CardTable &table,
                     const QStringList &titles, const QStringList &fieldNames);
