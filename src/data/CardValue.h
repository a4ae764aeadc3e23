#pragma once

#include "data/CardRecord.h"

#include <QString>

// The assignment and reading rules of card fields, shared by the table and its field handles.
namespace CardValue {

// Assigning. Texts are cut to the field's size and lose trailing blanks (a TAB stays);
// a date field keeps whole days. Throws QorError when the text is no value of the field's type.
void assignText(CardRecord &record, int field, const QString &text);
// The same for a text field, from Windows-1251 bytes that hold line breaks only as CR LF pairs
// (as a card file gives them): cut to the field's size, without trailing blanks.
void assignTextBytes(CardRecord &record, int field, QByteArrayView bytes);
void assignInteger(CardRecord &record, int field, qint64 value);
void assignNumber(CardRecord &record, int field, double value);

// Reading; a field without a value reads as "", 0 and day 0.
QString asText(const CardRecord &record, int field);
qint32 asInteger(const CardRecord &record, int field);
double asNumber(const CardRecord &record, int field);

// The text of an integer, date or date-and-time field, as asText gives it, written into out
// (room for kMaxPlainText bytes): digits, dots, colons, a blank and a minus. Returns its length.
constexpr int kMaxPlainText = 24;
int writePlainText(const CardRecord &record, int field, char *out);

} // namespace CardValue
