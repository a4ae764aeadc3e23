#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1251 is the code page of every file the program reads or writes.
namespace Cp1251 {

// Decodes bytes; every one of the 256 byte values maps to a character.
QString decode(QByteArrayView bytes);

// Encodes text. Throws QorError naming the first character that Windows-1251 cannot hold,
// so that such a character is never written silently as another byte.
QByteArray encode(QStringView text);

// Whether every character of text has a Windows-1251 byte.
bool canEncode(QStringView text);

// The first character of text that Windows-1251 cannot hold, or -1.
qsizetype firstUnencodable(QStringView text);

// That character itself, whole (both halves of a surrogate pair), for a message naming it;
// empty when every character can be held.
QString firstUnencodableCharacter(QStringView text);

} // namespace Cp1251
