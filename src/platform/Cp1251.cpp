#include "platform/Cp1251.h"

#include "platform/QorError.h"

#include <array>
#include <vector>

namespace {

// The upper half of Windows-1251 (0x80 to 0xBF; 0xC0 to 0xFF are А to я in order), as Windows
// and ICU map it; 0x98, which Windows leaves unassigned, maps to U+0098 so that every byte
// survives a round trip. The table is held here rather than taken from a named codec because
// the Qt built for Windows has no ICU and so no "windows-1251" codec at all.
constexpr char16_t kUpperHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

struct Table
{
    std::array<char16_t, 256> toUnicode{};
    std::vector<qint16> fromUnicode = std::vector<qint16>(0x10000, -1); // -1: no byte

    Table()
    {
        for (int b = 0; b < 256; ++b) {
            toUnicode[b] = b < 0x80   ? char16_t(b)
                           : b < 0xC0 ? kUpperHalf[b - 0x80]
                                      : char16_t(0x0410 + (b - 0xC0));
            fromUnicode[toUnicode[b]] = qint16(b);
        }
    }
};

const Table &table()
{
    static const Table t;
    return t;
}

} // namespace

namespace Cp1251 {

QString decode(QByteArrayView bytes)
{
    const Table &t = table();
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(t.toUnicode[static_cast<unsigned char>(bytes[i])]);
    return out;
}

qsizetype firstUnencodable(QStringView text)
{
    const Table &t = table();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (t.fromUnicode[c] < 0)
            return i;
    }
    return -1;
}

QString firstUnencodableCharacter(QStringView text)
{
    const qsizetype bad = firstUnencodable(text);
    if (bad < 0)
        return QString();
    return text.mid(bad, text.at(bad).isHighSurrogate() ? 2 : 1).toString();
}

bool canEncode(QStringView text)
{
    return firstUnencodable(text) < 0;
}

QByteArray encode(QStringView text)
{
    const Table &t = table();
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x80) {
            dst[i] = char(c);
            continue;
        }
        const qint16 byte = t.fromUnicode[c];
        if (byte < 0) {
            const QString code = QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
            throw QorError(
                QStringLiteral("Символ \"%1\" (U+%2) нельзя записать в кодировке Windows-1251")
                    .arg(text.mid(i, 1).toString(), code));
        }
        dst[i] = char(byte);
    }
    return out;
}

} // namespace Cp1251
