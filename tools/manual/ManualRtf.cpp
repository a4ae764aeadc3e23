#include "ManualRtf.h"

#include "output/RtfReport.h"
#include "platform/QorError.h"

#include <QList>
#include <QStringList>

namespace {

enum class Kind { Title, Chapter, Section, Paragraph, Bullet, Numbered, Note, Picture };

struct Block
{
    Kind kind;
    QString text;
    QString number; // of a numbered item; the file of a picture
    int line;       // where it starts, for messages
};

// RtfEscape leaves punctuation such as « » and dashes as raw Windows-1251 bytes; not every
// reader takes raw bytes by the code page, so the manual writes every byte above 127 as "\'xx".
QByteArray escapeAll(const QString &text)
{
    static const char kHex[] = "0123456789abcdef";
    const QByteArray escaped = RtfEscape(text);
    QByteArray out;
    out.reserve(escaped.size());
    for (const char c : escaped) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 128) {
            out += c;
        } else {
            out += "\\'";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

// Text with its "**bold**" runs, escaped.
QByteArray inlineText(const QString &text, int line)
{
    QByteArray out;
    const QStringList parts = text.split(QStringLiteral("**"));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QByteArray escaped;
        try {
            escaped = escapeAll(parts.at(i));
        } catch (const QorError &e) {
            throw QorError(QStringLiteral("Строка %1: %2").arg(line).arg(e.message()));
        }
        out += i % 2 ? "{\\b " + escaped + "}" : escaped;
    }
    return out;
}

QList<Block> parse(const QString &source)
{
    QList<Block> blocks;
    bool open = false; // the last block takes continuation lines
    const QStringList lines = source.split(u'\n');
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            open = false;
            continue;
        }
        const int number = n + 1;
        auto start = [&](Kind kind, const QString &text, const QString &itemNumber = QString()) {
            blocks.append({kind, text.trimmed(), itemNumber, number});
            open = kind != Kind::Title && kind != Kind::Chapter && kind != Kind::Section;
        };
        if (trimmed.startsWith(QLatin1String("![")) && trimmed.endsWith(u')') &&
            trimmed.contains(QLatin1String("]("))) {
            const qsizetype middle = trimmed.indexOf(QLatin1String("]("));
            start(Kind::Picture, trimmed.mid(2, middle - 2),
                  trimmed.mid(middle + 2, trimmed.size() - middle - 3));
            open = false;
        } else if (line.startsWith(QLatin1String("### "))) {
            start(Kind::Section, line.mid(4));
        } else if (line.startsWith(QLatin1String("## "))) {
            start(Kind::Chapter, line.mid(3));
        } else if (line.startsWith(QLatin1String("# "))) {
            start(Kind::Title, line.mid(2));
        } else if (line.startsWith(QLatin1String("- "))) {
            start(Kind::Bullet, line.mid(2));
        } else if (line.startsWith(QLatin1String("> "))) {
            start(Kind::Note, line.mid(2));
        } else if (const qsizetype dot = line.indexOf(QLatin1String(". "));
                   dot > 0 && dot <= 3 && line.left(dot).toInt() > 0) {
            start(Kind::Numbered, line.mid(dot + 2), line.left(dot + 1));
        } else if (open) {
            blocks.last().text += u' ' + trimmed;
        } else {
            start(Kind::Paragraph, trimmed);
        }
    }
    return blocks;
}

// The text's width on the page, in twips: A4 less the margins.
constexpr int kTextWidth = 11906 - 1701 - 850;

// A PNG picture as RTF: its size from the image header, shown at 96 dots per inch and never
// wider than the text.
QByteArray pngPicture(const QByteArray &png, int line)
{
    const bool isPng = png.startsWith("\x89PNG\r\n\x1a\n") && png.size() > 24;
    if (!isPng)
        throw QorError(QStringLiteral("Строка %1: рисунок не в формате PNG").arg(line));
    const auto bigEndian = [&png](int at) {
        return (quint32(quint8(png[at])) << 24) | (quint32(quint8(png[at + 1])) << 16) |
               (quint32(quint8(png[at + 2])) << 8) | quint32(quint8(png[at + 3]));
    };
    const qint64 width = bigEndian(16);
    const qint64 height = bigEndian(20);
    qint64 goalWidth = width * 15;
    qint64 goalHeight = height * 15;
    if (goalWidth > kTextWidth) {
        goalHeight = goalHeight * kTextWidth / goalWidth;
        goalWidth = kTextWidth;
    }
    QByteArray out = "{\\pict\\pngblip\\picw" + QByteArray::number(width) + "\\pich" +
                     QByteArray::number(height) + "\\picwgoal" + QByteArray::number(goalWidth) +
                     "\\pichgoal" + QByteArray::number(goalHeight) + "\r\n";
    const QByteArray hex = png.toHex();
    for (qsizetype at = 0; at < hex.size(); at += 128)
        out += hex.mid(at, 128) + "\r\n";
    return out + "}";
}

const char kHeader[] = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049"
                       "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset204 Times New Roman;}"
                       "{\\f1\\fswiss\\fprq2\\fcharset204 Arial;}}\r\n";
// A4, margins of 3 cm on the left, 1.5 cm on the right, 2 cm above and below.
const char kPage[] = "\\paperw11906\\paperh16838\\margl1701\\margr850\\margt1134\\margb1134\r\n";

} // namespace

QByteArray ManualToRtf(const QString &source,
                       const std::function<QByteArray(const QString &file)> &readImage)
{
    const QList<Block> blocks = parse(source);
    QByteArray out(kHeader);
    for (const Block &block : blocks) {
        if (block.kind == Kind::Title) {
            out += "{\\info{\\title " + inlineText(block.text, block.line) + "}}\r\n";
            break;
        }
    }
    out += kPage;

    const QByteArray body = "\\pard\\plain\\f0\\fs24\\sa120\\qj ";
    int chapter = 0;
    for (const Block &block : blocks) {
        const QByteArray text = inlineText(block.text, block.line);
        switch (block.kind) {
        case Kind::Title:
            out += "\\pard\\plain\\f1\\fs36\\b\\qc\\sb1200\\sa600 " + text + "\\par\r\n";
            out += "\\pard\\plain\\f1\\fs28\\b\\sb240\\sa120 " +
                   escapeAll(QStringLiteral("Содержание")) + "\\par\r\n";
            for (const Block &entry : blocks) {
                if (entry.kind == Kind::Chapter)
                    out += "\\pard\\plain\\f0\\fs24\\li360\\sa60 " +
                           inlineText(entry.text, entry.line) + "\\par\r\n";
            }
            break;
        case Kind::Chapter:
            out += QByteArray("\\pard\\plain\\f1\\fs30\\b\\keepn\\sb360\\sa180") +
                   (chapter++ ? "\\pagebb " : " ") + text + "\\par\r\n";
            break;
        case Kind::Section:
            out += "\\pard\\plain\\f1\\fs26\\b\\keepn\\sb240\\sa120 " + text + "\\par\r\n";
            break;
        case Kind::Paragraph:
            out += body + text + "\\par\r\n";
            break;
        case Kind::Bullet:
            out += "\\pard\\plain\\f0\\fs24\\fi-360\\li720\\sa60\\tx720 \\bullet\\tab " + text +
                   "\\par\r\n";
            break;
        case Kind::Numbered:
            out += "\\pard\\plain\\f0\\fs24\\fi-360\\li720\\sa60\\tx720 " +
                   escapeAll(block.number) + "\\tab " + text + "\\par\r\n";
            break;
        case Kind::Picture:
            if (!readImage)
                throw QorError(QStringLiteral("Строка %1: рисунки не подключены").arg(block.line));
            out += "\\pard\\plain\\qc\\keepn\\sb120\\sa60 " +
                   pngPicture(readImage(block.number), block.line) + "\\par\r\n";
            out += "\\pard\\plain\\f0\\fs20\\i\\qc\\sa120 " + text + "\\par\r\n";
            break;
        case Kind::Note:
            out +=
                "\\pard\\plain\\f0\\fs24\\i\\li567\\ri567\\sa120\\brdrl\\brdrs\\brdrw20\\brsp80 " +
                text + "\\par\r\n";
            break;
        }
    }
    out += "}\r\n";
    return out;
}
