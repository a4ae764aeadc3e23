#include "output/RtfReport.h"

#include "data/CardTable.h"
#include "data/CardValue.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/OrderedChunks.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <vector>

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

// Without blanks and control characters at either end, as a cell shows them: over the
// Windows-1251 bytes of a text, where these are the bytes up to 32.
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

// Appends to a byte array through a pointer: QByteArray's own appends cost a call and checks for
// every piece and every escaped letter, which was most of a printed list of 100 000 rows.
class ByteWriter
{
public:
    explicit ByteWriter(QByteArray &out) : m_out(out), m_end(out.size()) {}
    ~ByteWriter() { m_out.resize(m_end); }
    ByteWriter(const ByteWriter &) = delete;
    ByteWriter &operator=(const ByteWriter &) = delete;

    // Room for n bytes at the end, to be written and then passed to advanceTo().
    char *room(qsizetype n)
    {
        if (m_end + n > m_out.size())
            m_out.resize(qMax(m_end + n, m_out.size() + m_out.size() / 2));
        return m_out.data() + m_end;
    }
    void advanceTo(const char *p) { m_end = p - m_out.constData(); }
    void append(QByteArrayView bytes)
    {
        std::memcpy(room(bytes.size()), bytes.data(), size_t(bytes.size()));
        m_end += bytes.size();
    }

private:
    QByteArray &m_out;
    qsizetype m_end;
};

// What each Windows-1251 byte becomes in RTF: "\\", "{", "}" escaped, a CR as a paragraph, LF
// dropped (the CR before it has made the paragraph), Cyrillic letters and "№" as "\\'xx".
struct Escapes
{
    std::array<std::array<char, 8>, 256> code{};
    std::array<quint8, 256> length{};

    Escapes()
    {
        static const char kHex[] = "0123456789abcdef";
        for (int b = 0; b < 256; ++b) {
            std::array<char, 8> &c = code[size_t(b)];
            quint8 &n = length[size_t(b)];
            if (b == 13) {
                std::memcpy(c.data(), "\\par \r", 6);
                n = 6;
            } else if (b == 10) {
                n = 0;
            } else if (b == '\\' || b == '{' || b == '}') {
                c = {'\\', char(b)};
                n = 2;
            } else if (b == 168 || b == 184 || b == 185 || b >= 192) {
                c = {'\\', '\'', kHex[b >> 4], kHex[b & 15]};
                n = 4;
            } else {
                c = {char(b)};
                n = 1;
            }
        }
    }
};

// Appends the Windows-1251 bytes of a text as RTF. Each byte's code is copied whole (eight bytes)
// and the end moved by its length: no branch per byte.
void appendEscapedBytes(ByteWriter &writer, QByteArrayView bytes)
{
    static const Escapes escapes;
    char *p = writer.room(bytes.size() * 6 + 8); // "\\par \r" is the longest a byte becomes
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        std::memcpy(p, escapes.code[b].data(), 8);
        p += escapes.length[b];
    }
    writer.advanceTo(p);
}

void appendEscaped(QByteArray &out, const QString &text)
{
    ByteWriter writer(out);
    appendEscapedBytes(writer, Cp1251::encode(text));
}

// A field whose text is a number or a date: digits, dots, colons, blanks and a minus, nothing to
// escape or to encode.
bool isPlainText(int field)
{
    return field >= 0 && !CardFields::isCalculated(field) &&
           CardFields::def(field).type != FieldType::Text;
}

// The cells of one column of the list. A calculated column repeats a few texts (the card type,
// the subcommission's name): the last one is kept escaped.
class ColumnWriter
{
public:
    explicit ColumnWriter(int field) : m_field(field) {}

    void append(ByteWriter &writer, const CardTable &table, const CardRecord &card)
    {
        if (isStoredText(m_field)) {
            appendEscapedBytes(writer, trimmedCell(card.textBytes(m_field)));
        } else if (isPlainText(m_field)) {
            char *p = writer.room(CardValue::kMaxPlainText);
            writer.advanceTo(p + CardValue::writePlainText(card, m_field, p));
        } else {
            const QString text = table.text(card, m_field);
            if (text != m_lastText || m_lastEscaped.isNull()) {
                m_lastText = text;
                m_lastEscaped.clear();
                ByteWriter escaped(m_lastEscaped);
                appendEscapedBytes(escaped, trimmedCell(Cp1251::encode(text)));
            }
            writer.append(m_lastEscaped);
        }
    }

private:
    int m_field;
    QString m_lastText;
    QByteArray m_lastEscaped;
};

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

// The rows of the list, made in chunks of rows on worker threads and taken in order as the file
// is written. The cards are only read meanwhile: the caller waits.
class RecordRows
{
public:
    RecordRows(CardTable &table, const QByteArray &block, const QStringList &titles,
               const QStringList &fieldNames)
        : m_table(table),
          m_chunks(table.count(), [this](int from, int to) { return rows(from, to); })
    {
        // The rows are read where they stand; the current card never moves.
        table.settle();
        QList<QByteArray> markers;
        for (const QString &title : titles)
            markers.append(RtfEscape(u'[' + title + u']'));
        for (const QString &name : fieldNames)
            m_fields.append(CardFields::indexOf(name));
        m_cut = cutBlock(block, markers, m_fields);
        m_blockSize = block.size();
    }

    // The next chunk of rows; false after the last.
    bool next(QByteArray &chunk) { return m_chunks.next(chunk); }

private:
    QByteArray rows(int from, int to) const
    {
        std::vector<ColumnWriter> columns;
        for (const int what : m_cut.places)
            columns.emplace_back(what < 0 ? -1 : m_fields.at(what));
        QByteArray out;
        out.reserve(qsizetype(to - from) * (m_blockSize + 512));
        ByteWriter writer(out);
        for (int row = from; row < to; ++row) {
            m_table.prefetchAfter(row);
            const CardRecord &card = *m_table.recordAt(row);
            for (qsizetype k = 0; k < m_cut.places.size(); ++k) {
                writer.append(m_cut.pieces.at(k));
                if (m_cut.places.at(k) < 0) {
                    char *number = writer.room(12);
                    writer.advanceTo(std::to_chars(number, number + 12, row + 1).ptr);
                } else {
                    columns[size_t(k)].append(writer, m_table, card);
                }
            }
            writer.append(m_cut.pieces.last());
        }
        return out;
    }

    const CardTable &m_table;
    QList<int> m_fields;
    CutBlock m_cut;
    qsizetype m_blockSize = 0;
    OrderedChunks<QByteArray> m_chunks; // last: its chunks read the members above
};

// The template without its own line breaks, cut at the record block's bounds: the bytes before
// it, the block (null when there is none), the bytes after it.
struct TemplateParts
{
    QByteArray head, block, tail;
};

TemplateParts templateParts(const QByteArray &rtfTemplate)
{
    QByteArray text = rtfTemplate;
    text.replace("\r\n", "");
    const qsizetype first = text.indexOf(kDelimiter);
    const qsizetype second = first < 0 ? -1 : text.indexOf(kDelimiter, first + kDelimiter.size());
    if (second < 0)
        return {text, QByteArray(), QByteArray()};
    const qsizetype blockStart = first + kDelimiter.size();
    return {text.left(first), text.mid(blockStart, second - blockStart),
            text.mid(second + kDelimiter.size())};
}

} // namespace

void FillRtfTemplate(const QByteArray &rtfTemplate, const QString &fileName, CardTable &table,
                     const QStringList &titles, const QStringList &fieldNames)
{
    const TemplateParts parts = templateParts(rtfTemplate);
    if (parts.block.isNull()) {
        FileSystem::writeWhole(fileName, parts.head); // no record block
        return;
    }
    ScopedViewUpdates views(table);
    RecordRows rows(table, parts.block, titles, fieldNames);
    enum { Head, Rows, Done } step = Head;
    FileSystem::writeWhole(fileName, [&](QByteArray &piece) {
        switch (step) {
        case Head:
            piece = parts.head;
            step = Rows;
            return true;
        case Rows:
            if (!rows.next(piece)) {
                piece = parts.tail;
                step = Done;
            }
            return true;
        case Done:
            break;
        }
        return false;
    });
}
