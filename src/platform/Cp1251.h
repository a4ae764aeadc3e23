#pragma once

#include <QByteArray>
#include <QString>

// Windows-1251 is the code page of every file the program reads or writes.
namespace Cp1251 {

// Decodes bytes; every one of the 256 byte values maps to a character.
QString decode(const QByteArray &bytes);

// Encodes text. Throws QorError naming the first character that Windows-1251 cannot hold,
// so that such a character is never written silently as another byte.
QByteArray encode(const QString &text);

// Whether every character of text has a Windows-1251 byte.
bool canEncode(const QString &text);

// The first character of text that Windows-1251 cannot hold, or -1.
qsizetype firstUnencodable(const QString &text);

} // namespace Cp1251
