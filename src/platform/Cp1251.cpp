#include "platform/Cp1251.h"

#include "platform/QorError.h"

#include <QStringDecoder>
#include <array>
#include <vector>

namespace {

// The table is built once from Qt's own codec, so that the mapping is the platform's,
// and used directly afterwards: the codec is slow for the many short strings of a card file.
struct Table
{
    std::array<char16_t, 256> toUnicode{};
    std::vector<qint16> fromUnicode = std::vector<qint16>(0x10000, -1); // -1: no byte

    Table()
    {
        QStringDecoder decoder("windows-1251");
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            Q_ASSERT(s.size() == 1 && !decoder.hasError());
            toUnicode[b] = s.isEmpty() ? char16_t(0xFFFD) : s.at(0).unicode();
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
