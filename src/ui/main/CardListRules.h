#pragma once

#include <QString>

// Decisions of the card list over plain data, without widgets.
namespace CardListRules {

// The card table's filter from the two filter boxes: an entry after the first one adds
// "FTYPE=<key>" or "PODKOM=<key>", joined by " and "; the first entry, or none selected (-1),
// adds nothing.
QString filterExpression(int ftypeIndex, const QString &ftypeKey, int podkomIndex,
                         const QString &podkomKey);

// The stored field a column title sorts by: a calculated column ("C_FTYPE") by the field it
// is calculated from ("FTYPE"), every other column by its own field.
QString sortFieldOfColumn(const QString &columnField);

// Whether a column title carries the sort marker: the table is sorted by the column's field,
// or by the field the column is calculated or looked up from ("C_" or "L_" in front).
bool titleHasSortMarker(const QString &columnField, const QString &sortField);

// The status line: "Записей: <count>", and " <<Установлен фильтр>>" while a filter is set.
QString recordCountText(int count, bool filtered);

} // namespace CardListRules
