#include "data/CardTextFormat.h"

#include "data/CardTable.h"
#include "data/CardTextCodec.h"
#include "data/CardValue.h"
#include "data/ReferenceLists.h"
#include "platform/BusyCursor.h"
#include "platform/Cp1251.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

namespace {

const QByteArrayView kMagic("<QOR>");

// The list tests of one card; the message that stops the write, or nothing. They run on the
// bytes the card holds: a meeting is written a hundred thousand cards at a time.
std::optional<QString> listTestFailure(const CardRecord &card, const ReferenceLists &lists)
{
    const int variant = int(lists.variant());
    if (card.passedListTests(variant))
        return std::nullopt;
    char podkom[24] = {};
    const qsizetype podkomLength =
        card.hasValue(CardFields::PODKOM)
            ? std::to_chars(podkom, podkom + sizeof podkom, qint64(card.number(CardFields::PODKOM)))
                      .ptr -
                  podkom
            : 0;
    const auto failure = [&card](const char *what) {
        return QStringLiteral("Для \"%1\" нужно выбрать %2 из нового перечня!")
            .arg(card.text(CardFields::FAM), QString::fromUtf8(what));
    };
    if (!lists.subcommissions().containsKeyBytes(QByteArrayView(podkom, podkomLength)))
        return failure("подкомиссию");
    const QByteArrayView specialty = card.textBytes(CardFields::SPEC);
    if (!ReferenceLists::doctorSpecialties().containsKeyBytes(specialty) &&
        !ReferenceLists::midLevelSpecialties().containsKeyBytes(specialty))
        return failure("специальность");
    if (!ReferenceLists::positions().containsKeyBytes(card.textBytes(CardFields::DOL)))
        return failure("должность");
    card.notePassedListTests(variant);
    return std::nullopt;
}

// The longest field name, and a name as two words: its bytes, zero after them, its length in
// the last byte. A line's name is told by comparing two words with each field's, not by a call
// to compare bytes: a meeting of a million cards has seventeen million lines.
constexpr qsizetype kLongestName = 10;
using PackedName = std::array<quint64, 2>;

PackedName packName(const char *name, qsizetype length)
{
    char bytes[sizeof(PackedName)] = {};
    std::memcpy(bytes, name, size_t(length));
    bytes[sizeof bytes - 1] = char(length);
    PackedName packed;
    std::memcpy(packed.data(), bytes, sizeof bytes);
    return packed;
}

// The field names as the lines begin, and the fields' types, looked up once.
struct FieldNames
{
    std::array<QByteArrayView, CardFields::StoredCount> names;
    std::array<PackedName, CardFields::StoredCount> packed;
    std::array<FieldType, CardFields::StoredCount> types;
    FieldNames()
    {
        for (int field = 0; field < CardFields::StoredCount; ++field) {
            names[size_t(field)] = QByteArrayView(CardFields::def(field).name);
            packed[size_t(field)] =
                packName(names[size_t(field)].data(), names[size_t(field)].size());
            types[size_t(field)] = CardFields::def(field).type;
        }
    }
};

const FieldNames &fields()
{
    static const FieldNames names;
    return names;
}

// Writes a card's lines straight into a buffer: a meeting file is written a hundred thousand
// cards at a time, and one call per piece of a line would cost more than the disk.
class BlockWriter
{
public:
    // The most one card's block can take: every field's line at its longest, every line break
    // of a text written as "#13#10".
    static constexpr qsizetype kMostBlock = 4096;

    explicit BlockWriter(char *at) : m_at(at) {}
    char *end() const { return m_at; }

    void bytes(QByteArrayView b)
    {
        const char *from = b.data();
        const qsizetype n = b.size();
        // The usual piece of a line is a few bytes: copied in two overlapping words rather than
        // by a call or byte by byte.
        if (n > 16) {
            std::memcpy(m_at, from, size_t(n));
        } else if (n >= 8) {
            copyWords<quint64>(from, n);
        } else if (n >= 4) {
            copyWords<quint32>(from, n);
        } else {
            for (qsizetype i = 0; i < n; ++i)
                m_at[i] = from[i];
        }
        m_at += n;
    }
    void ch(char c) { *m_at++ = c; }
    void newLine() { bytes(QByteArrayView("\r\n", 2)); }
    void integer(qint64 value) { m_at = std::to_chars(m_at, m_at + 24, value).ptr; }
    // A text holds its line breaks as CR LF pairs; a line of the file cannot, so they are
    // written as "#13#10".
    void text(QByteArrayView t)
    {
        for (;;) {
            const void *found =
                t.isEmpty() ? nullptr : std::memchr(t.data(), '\r', size_t(t.size()));
            const qsizetype cr = found ? static_cast<const char *>(found) - t.data() : -1;
            if (cr < 0 || cr + 1 >= t.size() || t.at(cr + 1) != '\n') {
                bytes(t);
                return;
            }
            bytes(t.first(cr));
            bytes(QByteArrayView("#13#10", 6));
            t = t.sliced(cr + 2);
        }
    }
    void dayNumber(double value)
    {
        char text[32];
        bytes(QByteArrayView(text, CardTextCodec::writeDayNumber(text, value)));
    }

private:
    // n bytes, n from sizeof(Word) to twice that: the first word and the last, overlapping.
    template <typename Word> void copyWords(const char *from, qsizetype n)
    {
        Word first;
        Word last;
        std::memcpy(&first, from, sizeof(Word));
        std::memcpy(&last, from + n - qsizetype(sizeof(Word)), sizeof(Word));
        std::memcpy(m_at, &first, sizeof(Word));
        std::memcpy(m_at + n - qsizetype(sizeof(Word)), &last, sizeof(Word));
    }

    char *m_at;
};

// One card's block, in Windows-1251 bytes as they go to the file: its texts are copied as the
// card holds them.
void appendBlock(QByteArray &out, const CardRecord &card, int number)
{
    const qsizetype size = out.size();
    out.resize(size + BlockWriter::kMostBlock);
    BlockWriter w(out.data() + size);
    const FieldNames &f = fields();
    w.ch('[');
    w.integer(number);
    w.ch(']');
    w.newLine();
    for (int field = 0; field < CardFields::StoredCount; ++field) {
        const QByteArrayView name = f.names[size_t(field)];
        if (!card.hasValue(field) || (name.size() > 1 && name.at(1) == '_'))
            continue; // a "_" second marks a calculated field, which never has a line
        w.ch('@');
        w.bytes(name);
        w.ch('=');
        switch (f.types[size_t(field)]) {
        case FieldType::Integer:
            w.integer(qint64(card.number(field)));
            break;
        case FieldType::Text:
            if (card.hasLineBreak(field))
                w.text(card.textBytes(field));
            else
                w.bytes(card.textBytes(field));
            break;
        case FieldType::Date:
        case FieldType::DateTime:
            w.dayNumber(card.number(field));
            break;
        }
        w.newLine();
    }
    w.newLine();
    out.truncate(w.end() - out.constData());
}

// The stored field a field line names ("@fam=..." names FAM), or -1; value is what follows the
// first "=". Field names are ASCII, and no other byte of Windows-1251 folds to one.
int fieldOfLine(QByteArrayView line, QByteArrayView &value)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 2 || eq > kLongestName + 1 || line.front() != '@')
        return -1;
    char name[kLongestName];
    const qsizetype length = eq - 1;
    for (qsizetype i = 0; i < length; ++i) {
        const char c = line.at(i + 1);
        name[i] = (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c;
    }
    const PackedName packed = packName(name, length);
    const auto &names = fields().packed;
    for (int field = 0; field < CardFields::StoredCount; ++field) {
        if (names[size_t(field)] == packed) {
            value = line.sliced(eq + 1);
            return field;
        }
    }
    return -1;
}

// A value as the card takes it; a value that gives none leaves the field without one.
// Digits only, as every file this program writes holds its numbers: read without decoding.
bool plainDigits(QByteArrayView value, qint32 &out)
{
    if (value.isEmpty() || value.size() > 9)
        return false;
    qint32 v = 0;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

void assignField(CardRecord &card, int field, QByteArrayView value)
{
    const FieldType type = CardFields::def(field).type;
    if (type == FieldType::Integer) {
        qint32 v = 0;
        if (plainDigits(value, v) || CardTextCodec::decodeInteger(Cp1251::decode(value), v))
            CardValue::assignInteger(card, field, v);
        return;
    }
    if (type == FieldType::Date || type == FieldType::DateTime) {
        double v = 0;
        if (CardTextCodec::decodeDayNumber(Cp1251::decode(value), type, v))
            CardValue::assignNumber(card, field, v);
        return;
    }
    if (value.isEmpty())
        return;
    if (value.contains(QByteArrayView("#13#10")))
        CardValue::assignTextBytes(card, field, CardTextCodec::decodeText(value));
    else // the usual text, without a line break: taken as it stands
        CardValue::assignTextBytes(card, field, value);
    // Blanks only make the empty text, which a file holds as no value: so it is none here too.
    if (card.textBytes(field).isEmpty())
        card.clear(field);
}

using CardLines = std::array<std::optional<QByteArrayView>, CardFields::StoredCount>;

// One card built from its field lines, by type.
CardRecord buildCard(const CardLines &values)
{
    CardRecord card;
    int textBytes = 0;
    for (int field = 0; field < CardFields::StoredCount; ++field) {
        if (values[size_t(field)] && !CardRecord::isNumeric(field))
            textBytes +=
                int(qMin<qsizetype>(values[size_t(field)]->size(), CardFields::def(field).size));
    }
    card.reserveTexts(textBytes); // one buffer of the right size, not one grown text by text
    for (int field = 0; field < CardFields::StoredCount; ++field) {
        if (values[size_t(field)])
            assignField(card, field, *values[size_t(field)]);
    }
    return card;
}

// Appends one card and posts it. A card the table refuses is dropped and reported; returns
// whether it was dropped.
bool postCard(CardTable &table, CardRecord card)
{
    try {
        table.appendCard(std::move(card));
        return false;
    } catch (const QorError &e) {
        // A failing after-post handler leaves the card stored: then it is not dropped.
        const bool dropped = table.state() == CardTable::State::Insert;
        table.cancel();
        Dialogs::instance().warning(QStringLiteral("Ошибка при чтении данных из файла"),
                                    e.message());
        return dropped;
    }
}

} // namespace

namespace {

// The blocks of the visible cards, in the current order, made in chunks on worker threads (a
// meeting of a million cards is a quarter of a gigabyte), up to the first card the list tests
// refuse (none when lists is null).
class CardBlocks
{
public:
    struct Chunk
    {
        QByteArray bytes;
        int cards = 0;
        std::optional<QString> stop; // the refusal that ended the chunk
    };

    CardBlocks(CardTable &table, const ReferenceLists *lists)
        : m_table(table), m_lists(lists),
          m_chunks(table.count(), [this](int from, int to) { return blocks(from, to); })
    {}

    // The next piece of the file, the first line with the first cards, then the others; false
    // after the last.
    bool next(QByteArray &piece)
    {
        Chunk chunk;
        if (m_stop || !m_chunks.next(chunk)) {
            if (m_begun)
                return false;
            piece = firstLine(); // a meeting without cards
            m_begun = true;
            return true;
        }
        m_begun = true;
        m_written += chunk.cards;
        if ((m_stop = std::move(chunk.stop)))
            m_chunks.stop();
        piece = std::move(chunk.bytes);
        return true;
    }
    int written() const { return m_written; }
    const std::optional<QString> &stop() const { return m_stop; }

private:
    static QByteArray firstLine() { return kMagic.toByteArray() + "\r\n"; }

    Chunk blocks(int from, int to) const
    {
        Chunk chunk;
        if (from == 0)
            chunk.bytes = firstLine();
        chunk.bytes.reserve(chunk.bytes.size() + qsizetype(to - from) * 280);
        for (int row = from; row < to; ++row) {
            m_table.prefetchAfter(row);
            const CardRecord &card = *m_table.recordAt(row);
            if (m_lists && (chunk.stop = listTestFailure(card, *m_lists)))
                break;
            appendBlock(chunk.bytes, card, row + 1);
            ++chunk.cards;
        }
        return chunk;
    }

    const CardTable &m_table;
    const ReferenceLists *m_lists;
    bool m_begun = false;
    int m_written = 0;
    std::optional<QString> m_stop;
    OrderedChunks<Chunk> m_chunks; // last: its chunks read the members above
};

} // namespace

int WriteCards(CardTable &table, const ReferenceLists &lists, const QString &path)
{
    BusyCursor busy;
    // The cards are read where they stand, in the current order; the current card never moves.
    table.settle();
    ScopedViewUpdates views(table);
    CardBlocks blocks(table, &lists);
    FileSystem::writeWhole(path, [&](QByteArray &piece) { return blocks.next(piece); });
    if (blocks.stop())
        throw QorError(*blocks.stop());
    return blocks.written();
}

QByteArray CardFileBytes(CardTable &table)
{
    table.settle();
    ScopedViewUpdates views(table);
    CardBlocks blocks(table, nullptr);
    QByteArray out;
    for (QByteArray piece; blocks.next(piece);)
        out += piece;
    return out;
}

int ReadCards(CardTable &table, const QString &path)
{
    BusyCursor busy;
    return ReadCardsFrom(table, FileSystem::readWhole(path), path);
}

int ReadCardsFrom(CardTable &table, QByteArrayView bytes, const QString &path)
{
    CardPieces pieces(bytes, path);
    return PostCards(table, pieces);
}

namespace {

// The cards of bytes that begin with a card's header line.
std::vector<CardRecord> parseCardsFrom(QByteArrayView bytes)
{
    // Room for every card at once: a card begins with "[" (a text holds one seldom).
    qsizetype headers = 1;
    for (const char *at = bytes.data(), *end = at + bytes.size();
         (at = static_cast<const char *>(std::memchr(at, '[', size_t(end - at)))); ++at)
        ++headers;
    std::vector<CardRecord> cards;
    cards.reserve(size_t(headers));
    CardTextCodec::LineReader lines(bytes);
    QByteArrayView line;
    bool more = lines.next(line); // the header
    while (more) {
        CardLines values;
        while ((more = lines.next(line)) && !CardTextCodec::isHeaderLine(line)) {
            QByteArrayView value;
            const int field = fieldOfLine(line, value);
            if (field >= 0 && !values[size_t(field)]) // the first line of a field wins
                values[size_t(field)] = value;
        }
        cards.push_back(buildCard(values));
    }
    return cards;
}

// Where the next card's header line begins at or after from: after a line break (any byte after
// a CR or LF begins a line), "[" first and "]" last; the end when there is none.
qsizetype nextHeader(QByteArrayView bytes, qsizetype from)
{
    for (qsizetype at = bytes.indexOf('[', from); at >= 0; at = bytes.indexOf('[', at + 1)) {
        if (at > 0 && bytes.at(at - 1) != '\n' && bytes.at(at - 1) != '\r')
            continue;
        qsizetype end = at;
        while (end < bytes.size() && bytes.at(end) != '\r' && bytes.at(end) != '\n')
            ++end;
        if (CardTextCodec::isHeaderLine(bytes.sliced(at, end - at)))
            return at;
    }
    return bytes.size();
}

// Where the pieces of a meeting file's bytes begin, then its end: about a megabyte each, each at
// a card's header line. Lines before the first card are skipped.
QList<qsizetype> pieceStarts(QByteArrayView bytes, const QString &path)
{
    CardTextCodec::LineReader lines(bytes);
    QByteArrayView line;
    if (!lines.next(line) || line != kMagic)
        throw QorError(
            QStringLiteral("Файл \"%1\" не является правильным файлом данных!").arg(path));
    constexpr qsizetype kPieceBytes = 1 << 20;
    QList<qsizetype> starts = {nextHeader(bytes, kMagic.size())};
    while (starts.last() < bytes.size())
        starts.append(nextHeader(bytes, qMin(starts.last() + kPieceBytes, bytes.size())));
    return starts;
}

} // namespace

CardPieces::CardPieces(QByteArrayView bytes, const QString &path)
    : m_bytes(bytes), m_starts(pieceStarts(bytes, path)),
      m_pieces(
          int(m_starts.size() - 1),
          [this](int from, int) {
              return parseCardsFrom(
                  m_bytes.sliced(m_starts.at(from), m_starts.at(from + 1) - m_starts.at(from)));
          },
          1)
{}

bool CardPieces::next(std::vector<CardRecord> &piece)
{
    if (!m_pieces.next(piece))
        return false;
    if (m_expectedCards == 0) { // the first piece tells how many cards a megabyte holds
        const double bytesOfPiece = double(qMax<qsizetype>(m_starts.at(1) - m_starts.at(0), 1));
        m_expectedCards = int(qMin(double(piece.size()) * double(m_bytes.size()) / bytesOfPiece,
                                   double(std::numeric_limits<int>::max() / 2)));
    }
    return true;
}

int PostCards(CardTable &table, CardPieceSource &pieces)
{
    ScopedViewUpdates views(table);
    int refused = 0;
    bool first = true;
    for (std::vector<CardRecord> piece; pieces.next(piece);) {
        if (std::exchange(first, false))
            table.reserve(pieces.expectedCards());
        for (CardRecord &card : piece)
            refused += postCard(table, std::move(card));
    }
    return refused;
}
