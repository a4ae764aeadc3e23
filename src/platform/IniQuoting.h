#pragma once

#include <QString>

// The double-quoted form of the settings INI file, for the few texts that would not read back
// as they are written: backslash escapes \\ \" \n \r \t \xHH and \uHHHH.
namespace IniQuoting {

// Control characters and unpaired surrogate halves: they cannot stand as they are in a line.
bool hasUnsafeCharacters(const QString &text);
// A blank at either end, which the reader trims.
bool hasOuterBlanks(const QString &text);

QString quote(const QString &text);

// Reads the quoted text whose opening quote stands at text[start]. On success end is the index
// just after the closing quote.
bool unquote(const QString &text, qsizetype start, QString *out, qsizetype *end);

} // namespace IniQuoting
