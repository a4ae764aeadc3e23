#include "output/RtfReport.h"

#include "data/CardTable.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"

#include <algorithm>

namespace {

const QByteArray kDelimiter("[_]");
const QByteArray kNumberMarker("[#]");

// The twips the table spans.
constexpr int kTableWidth = 8414;

const char *const kHeader[] = {
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}",
    "{\\f1\\fnil\\fcharset2{\\*\\fname Symbol;}MT Symbol;}",
    "{\\f2\\fswiss\\fprq2 System;}{\\f3\\fnil\\fcharset204",
    "{\\*\\fname Times New Roman;}Times New Roman Cyr;}",
    "{\\f4\\froman\\fprq2\\fcharset204{\\*\\fname Times New Roman;}",
    "Times New Roman Cyr;}{\\f5\\fnil Times New Roman;}",
    "{\\f6\\froman\\fprq2 Times New Roman;}}",
    "{\\colortbl\\red0\\green0\\blue0;}",
};

void addLine(QByteArray &out, const QByteArray &line)
{
    out += line;
    out += "\r\n";
}

// Without blanks and control characters at either end, as a cell shows it.
QString trimmedCell(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) <= u' ')
        ++begin;
    while (end > begin && text.at(end - 1) <= u' ')
        --end;
    return text.mid(begin, end - begin);
}

// The same over the Windows-1251 bytes a text field holds: blanks and control characters are
// the bytes up to 32 there too.
QByteArrayView trimmedCell(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && quint8(bytes.front()) <= ' ')
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && quint8(bytes.back()) <= ' ')
        bytes.chop(1);
    return bytes;
}

// A field whose text the card holds as bytes, which the list takes as they are.
bool isStoredText(int field)
{
    return field >= 0 && !CardFields::isCalculated(field) &&
           CardFields::def(field).type == FieldType::Text;
}

} // namespace

namespace {

// Appends the Windows-1251 bytes of text to out as RTF: "\\", "{", "}" escaped, a CR as a
// paragraph, LF dropped, Cyrillic letters and "№" as "\\'xx".
void appendEscapedBytes(QByteArray &out, QByteArrayView bytes)
{
    static const char kHex[] = "0123456789abcdef";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 13) {
            out += "\\par \r";
        } else if (b == 10) {
            // dropped: the CR before it has made the paragraph
        } else if (b == '\\' || b == '{' || b == '}') {
            out += '\\';
            out += char(b);
        } else if (b == 168 || b == 184 || b == 185 || b >= 192) {
            const char code[4] = {'\\', '\'', kHex[b >> 4], kHex[b & 15]};
            out.append(code, 4);
        } else {
            out += char(b);
        }
    }
}

void appendEscaped(QByteArray &out, const QString &text)
{
    appendEscapedBytes(out, Cp1251::encode(text));
}

} // namespace

QByteArray RtfEscape(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    appendEscaped(out, text);
    return out;
}

QByteArray MakeRtfTemplate(const QString &title, const QStringList &columnTitles)
{
    QByteArray out;
    for (const char *line : kHeader)
        addLine(out, line);
    // The title is the meeting's name, which may hold "[_]" or "[Фамилия]": its "[" is written
    // as the code every reader shows as "[", so that it can never be taken for a marker.
    QByteArray shownTitle = RtfEscape(title);
    shownTitle.replace('[', "\\'5b");
    addLine(out, "\\deflang1033\\pard\\plain\\lang1049\\f3\\fs20 " + shownTitle);
    addLine(out, "\\par ");

    const int cells = int(columnTitles.size()) + 1;
    const int width = kTableWidth / cells;
    addLine(out, "\\trowd \\trgaph108\\trleft-108");
    for (int k = 1; k <= cells; ++k) {
        addLine(out, "\\clvertalt\\clbrdrt\\brdrs\\brdrw10 ");
        addLine(out, "\\clbrdrl\\brdrs\\brdrw10 ");
        addLine(out, "\\clbrdrb\\brdrs\\brdrw10 ");
        addLine(out, "\\clbrdrr\\brdrs\\brdrw10 ");
        addLine(out, "\\cltxlrtb \\cellx" + QByteArray::number(k * width));
    }
    addLine(out, "\\pard \\nowidctlpar\\widctlpar\\intbl\\adjustright ");

    addLine(out, RtfEscape(QStringLiteral("№ п/п")));
    for (const QString &columnTitle : columnTitles) {
        addLine(out, "\\cell ");
        addLine(out, RtfEscape(columnTitle));
    }
    // The header row's last cell and the row are closed by each record block.
    addLine(out, kDelimiter + "\\cell \\row ");

    addLine(out, kNumberMarker);
    for (const QString &columnTitle : columnTitles) {
        addLine(out, "\\cell ");
        addLine(out, RtfEscape(u'[' + columnTitle + u']'));
    }
    addLine(out, kDelimiter + "\\cell \\row \\pard ");
    addLine(out, "\\par }");
    return out;
}

namespace {

// The replacement with the marker escaped already: a list of many cards escapes each column's
// marker once, not once per card.
bool replaceEscapedMarker(const QByteArray &escapedMarker, const QString &value, QByteArray &text,
                          qsizetype &from)
{
    const qsizetype at = text.indexOf(escapedMarker, from);
    if (at < 0)
        return false;
    const QByteArray escapedValue = RtfEscape(value);
    text.replace(at, escapedMarker.size(), escapedValue);
    from = at + escapedValue.size();
    return true;
}

} // namespace

bool ReplaceFirstMarker(const QString &marker, const QString &value, QByteArray &text,
                        qsizetype &from)
{
    return replaceEscapedMarker(RtfEscape(marker), value, text, from);
}

bool ReplaceFirstMarker(const QString &marker, const QString &value, QByteArray &text)
{
    qsizetype from = 0;
    return ReplaceFirstMarker(marker, value, text, from);
}

namespace {

// A record block cut once at the places its markers take, found as the replacement of each card
// would find them: the row number's marker first, then each column's marker from where the one
// before ended (a value put in is never searched again).
struct CutBlock
{
    QList<QByteArray> pieces; // one more than the places
    QList<int> places;        // -1: the row number; otherwise the column's index
};

CutBlock cutBlock(const QByteArray &block, const QList<QByteArray> &markers,
                  const QList<int> &fields)
{
    // The number stands in as a control byte the block does not hold, so that no marker is
    // found across it (a marker holds no control byte).
    char numberStandIn = 1;
    while (numberStandIn < 31 && block.contains(numberStandIn))
        ++numberStandIn;
    QByteArray text = block;
    const qsizetype number = text.indexOf(kNumberMarker);
    if (number >= 0)
        text.replace(number, kNumberMarker.size(), &numberStandIn, 1);
    struct Place
    {
        qsizetype at;
        qsizetype size;
        int what;
    };
    QList<Place> places;
    if (number >= 0)
        places.append({number, 1, -1});
    qsizetype from = 0;
    for (qsizetype i = 0; i < markers.size() && i < fields.size(); ++i) {
        if (fields.at(i) < 0)
            continue;
        const qsizetype at = text.indexOf(markers.at(i), from);
        if (at < 0)
            continue;
        places.append({at, markers.at(i).size(), int(i)});
        from = at + markers.at(i).size();
    }
    std::sort(places.begin(), places.end(),
              [](const Place &a, const Place &b) { return a.at < b.at; });
    CutBlock cut;
    qsizetype done = 0;
    for (const Place &place : std::as_const(places)) {
        cut.pieces.append(text.mid(done, place.at - done));
        cut.places.append(place.what);
        done = place.at + place.size;
    }
    cut.pieces.append(text.mid(done));
    return cut;
}

} // namespace

void WriteRecords(CardTable &table, const QByteArray &block, QByteArray &out,
                  const QStringList &titles, const QStringList &fieldNames)
{
    // The rows are read where they stand; the current card never moves.
    table.settle();
    ScopedViewUpdates views(table);

    QList<int> fields;
    for (const QString &name : fieldNames)
        fields.append(CardFields::indexOf(name));
    QList<QByteArray> markers;
    for (const QString &title : titles)
        markers.append(RtfEscape(u'[' + title + u']'));
    out.reserve(out.size() + qsizetype(table.count()) * (block.size() + 256));

    const CutBlock cut = cutBlock(block, markers, fields);
    for (int row = 0; row < table.count(); ++row) {
        for (qsizetype k = 0; k < cut.places.size(); ++k) {
            out += cut.pieces.at(k);
            const int what = cut.places.at(k);
            const int field = what < 0 ? -1 : fields.at(what);
            if (what < 0)
                out += QByteArray::number(row + 1);
            else if (isStoredText(field))
                appendEscapedBytes(out, trimmedCell(table.recordAt(row)->textBytes(field)));
            else
                appendEscaped(out, trimmedCell(table.text(row, field)));
        }
        out += cut.pieces.last();
    }
}

void FillRtfTemplate(const QByteArray &rtfTemplate, const QString &fileName, CardTable &table,
                     const QStringList &titles, const QStringList &fieldNames)
{
    QByteArray text = rtfTemplate;
    text.replace("\r\n", "");

    QByteArray out;
    const qsizetype first = text.indexOf(kDelimiter);
    const qsizetype second = first < 0 ? -1 : text.indexOf(kDelimiter, first + kDelimiter.size());
    if (second < 0) {
        out = text; // no record block
    } else {
        out = text.left(first);
        const qsizetype blockStart = first + kDelimiter.size();
        WriteRecords(table, text.mid(blockStart, second - blockStart), out, titles, fieldNames);
        out += text.mid(second + kDelimiter.size());
    }
    FileSystem::writeWhole(fileName, out);
}
