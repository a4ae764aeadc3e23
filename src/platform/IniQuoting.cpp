#include "platform/IniQuoting.h"

namespace IniQuoting {

namespace {

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

// Whether text[i] is half of a surrogate pair that has no other half.
bool isLoneSurrogate(const QString &text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text.at(i - 1).isHighSurrogate();
    return false;
}

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

QString hexDigits(uint code, int width)
{
    return QString::number(code, 16).toUpper().rightJustified(width, u'0');
}

} // namespace

bool hasUnsafeCharacters(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isControl(text.at(i)) || isLoneSurrogate(text, i))
            return true;
    }
    // A byte order mark opening the file's first line is taken for the file's own and dropped.
    return text.startsWith(QChar(0xFEFF));
}

bool hasOuterBlanks(const QString &text)
{
    return !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
}

QString quote(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (isControl(c))
                out += QStringLiteral("\\x") + hexDigits(c.unicode(), 2);
            else if (isLoneSurrogate(text, i))
                out += QStringLiteral("\\u") + hexDigits(c.unicode(), 4);
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

bool unquote(const QString &text, qsizetype start, QString *out, qsizetype *end)
{
    if (start >= text.size() || text.at(start) != u'"')
        return false;
    out->clear();
    for (qsizetype i = start + 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'"') {
            *end = i + 1;
            return true;
        }
        if (c != u'\\') {
            out->append(c);
            continue;
        }
        if (++i >= text.size())
            return false;
        switch (text.at(i).unicode()) {
        case '\\':
            out->append(u'\\');
            break;
        case '"':
            out->append(u'"');
            break;
        case 'n':
            out->append(u'\n');
            break;
        case 'r':
            out->append(u'\r');
            break;
        case 't':
            out->append(u'\t');
            break;
        case 'x':
        case 'u': {
            const int digits = text.at(i) == u'x' ? 2 : 4;
            if (i + digits >= text.size())
                return false;
            int code = 0;
            for (int d = 1; d <= digits; ++d) {
                const int h = hexValue(text.at(i + d));
                if (h < 0)
                    return false;
                code = code * 16 + h;
            }
            out->append(QChar(char16_t(code)));
            i += digits;
            break;
        }
        default:
            return false;
        }
    }
    return false;
}

} // namespace IniQuoting
