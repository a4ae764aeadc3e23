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
#include <optional>

namespace {

const QByteArrayView kMagic("<QOR>");

QString integerText(const CardRecord &card, int field)
{
    return card.hasValue(field) ? QString::number(qint64(card.number(field))) : QString();
}

// The list tests of one card; the message that stops the write, or nothing.
std::optional<QString> listTestFailure(const CardRecord &card, const ReferenceLists &lists)
{
    const QString fam = card.text(CardFields::FAM);
    if (!lists.subcommissions().containsKey(integerText(card, CardFields::PODKOM)))
        return QStringLiteral("Для \"%1\" нужно выбрать подкомиссию из нового перечня!").arg(fam);
    const QString specialty = card.text(CardFields::SPEC);
    if (!ReferenceLists::doctorSpecialties().containsKey(specialty) &&
        !ReferenceLists::midLevelSpecialties().containsKey(specialty))
        return QStringLiteral("Для \"%1\" нужно выбрать специальность из нового перечня!").arg(fam);
    if (!ReferenceLists::positions().containsKey(card.text(CardFields::DOL)))
        return QStringLiteral("Для \"%1\" нужно выбрать должность из нового перечня!").arg(fam);
    return std::nullopt;
}

// The field names as the lines begin, measured once.
struct FieldNames
{
    std::array<QByteArrayView, CardFields::StoredCount> names;
    FieldNames()
    {
        for (int field = 0; field < CardFields::StoredCount; ++field)
            names[size_t(field)] = QByteArrayView(CardFields::def(field).name);
    }
};

const std::array<QByteArrayView, CardFields::StoredCount> &fieldNames()
{
    static const FieldNames names;
    return names.names;
}

void appendInteger(QByteArray &out, qint64 value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

// One card's block, in Windows-1251 bytes as they go to the file: its texts are copied as the
// card holds them.
void appendBlock(QByteArray &out, const CardRecord &card, int number)
{
    const auto &names = fieldNames();
    out.append('[');
    appendInteger(out, number);
    out.append("]\r\n", 3);
    for (int field = 0; field < CardFields::StoredCount; ++field) {
        const QByteArrayView name = names[size_t(field)];
        if (!card.hasValue(field) || (name.size() > 1 && name.at(1) == '_'))
            continue; // a "_" second marks a calculated field, which never has a line
        out.append('@');
        out.append(name);
        out.append('=');
        switch (CardFields::def(field).type) {
        case FieldType::Integer:
            appendInteger(out, qint64(card.number(field)));
            break;
        case FieldType::Text:
            CardTextCodec::appendText(out, card.textBytes(field));
            break;
        case FieldType::Date:
        case FieldType::DateTime:
            CardTextCodec::appendDayNumber(out, card.number(field));
            break;
        }
        out.append("\r\n", 2);
    }
    out.append("\r\n", 2);
}

// The stored field a field line names ("@fam=..." names FAM), or -1; value is what follows the
// first "=". Field names are ASCII, and no other byte of Windows-1251 folds to one.
int fieldOfLine(QByteArrayView line, QByteArrayView &value)
{
    constexpr qsizetype kLongestName = 10;
    const qsizetype eq = line.indexOf('=');
    if (eq < 2 || eq > kLongestName + 1 || line.front() != '@')
        return -1;
    char name[kLongestName];
    const qsizetype length = eq - 1;
    for (qsizetype i = 0; i < length; ++i) {
        const char c = line.at(i + 1);
        name[i] = (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c;
    }
    const auto &names = fieldNames();
    for (int field = 0; field < CardFields::StoredCount; ++field) {
        const QByteArrayView candidate = names[size_t(field)];
        if (candidate.size() == length &&
            std::memcmp(candidate.data(), name, size_t(length)) == 0) {
            value = line.sliced(eq + 1);
            return field;
        }
    }
    return -1;
}

// A value as the card takes it; a value that gives none leaves the field without one.
void assignField(CardRecord &card, int field, QByteArrayView value)
{
    const FieldType type = CardFields::def(field).type;
    if (type == FieldType::Integer) {
        qint32 v = 0;
        if (CardTextCodec::decodeInteger(Cp1251::decode(value), v))
            CardValue::assignInteger(card, field, v);
        return;
    }
    if (type == FieldType::Date || type == FieldType::DateTime) {
        double v = 0;
        if (CardTextCodec::decodeDayNumber(Cp1251::decode(value), type, v))
            CardValue::assignNumber(card, field, v);
        return;
    }
    const QByteArray text = CardTextCodec::decodeText(value);
    if (text.isEmpty())
        return;
    CardValue::assignTextBytes(card, field, text);
    // Blanks only make the empty text, which a file holds as no value: so it is none here too.
    if (card.textBytes(field).isEmpty())
        card.clear(field);
}

using CardLines = std::array<std::optional<QByteArrayView>, CardFields::StoredCount>;

// Appends one card and posts it. A card the table refuses is dropped and reported; returns
// whether it was dropped.
bool postCard(CardTable &table, const CardLines &values)
{
    CardRecord card;
    for (int field = 0; field < CardFields::StoredCount; ++field) {
        if (values[size_t(field)])
            assignField(card, field, *values[size_t(field)]);
    }
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

int WriteCards(CardTable &table, const ReferenceLists &lists, const QString &path)
{
    BusyCursor busy;
    // The cards are read where they stand, in the current order; the current card never moves.
    table.settle();
    ScopedViewUpdates views(table);

    QByteArray out;
    out.reserve(qsizetype(table.count()) * 280 + 16);
    out.append(kMagic);
    out.append("\r\n", 2);
    int written = 0;
    std::optional<QString> stop;
    for (int row = 0; row < table.count(); ++row) {
        const CardRecord &card = *table.recordAt(row);
        stop = listTestFailure(card, lists);
        if (stop)
            break;
        appendBlock(out, card, ++written);
    }
    FileSystem::writeWhole(path, out);
    if (stop)
        throw QorError(*stop);
    return written;
}

int ReadCards(CardTable &table, const QString &path)
{
    BusyCursor busy;
    return ReadCardsFrom(table, FileSystem::readWhole(path), path);
}

int ReadCardsFrom(CardTable &table, QByteArrayView bytes, const QString &path)
{
    CardTextCodec::LineReader lines(bytes);
    QByteArrayView line;
    if (!lines.next(line) || line != kMagic)
        throw QorError(
            QStringLiteral("Файл \"%1\" не является правильным файлом данных!").arg(path));

    ScopedViewUpdates views(table);
    int refused = 0;
    bool more = lines.next(line);
    while (more && !CardTextCodec::isHeaderLine(line)) // lines before the first card are skipped
        more = lines.next(line);
    while (more) {
        CardLines values;
        while ((more = lines.next(line)) && !CardTextCodec::isHeaderLine(line)) {
            QByteArrayView value;
            const int field = fieldOfLine(line, value);
            if (field >= 0 && !values[size_t(field)]) // the first line of a field wins
                values[size_t(field)] = value;
        }
        if (postCard(table, values))
            ++refused;
    }
    return refused;
}
