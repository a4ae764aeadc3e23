#include "data/CardTextFormat.h"

#include "data/CardTable.h"
#include "data/CardTextCodec.h"
#include "data/ReferenceLists.h"
#include "platform/BusyCursor.h"
#include "platform/Cp1251.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <array>
#include <cstring>
#include <optional>

namespace {

const QLatin1String kMagic("<QOR>");
const QLatin1String kNewLine("\r\n");

QString integerText(const CardRecord &card, int field)
{
    return card.hasValue(field) ? QString::number(qint64(card.number(field))) : QString();
}

// The list tests of one card; the message that stops the write, or nothing.
std::optional<QString> listTestFailure(const CardRecord &card, const ReferenceLists &lists)
{
    const QString &fam = card.text(CardFields::FAM);
    if (!lists.subcommissions().containsKey(integerText(card, CardFields::PODKOM)))
        return QStringLiteral("Для \"%1\" нужно выбрать подкомиссию из нового перечня!").arg(fam);
    const QString &specialty = card.text(CardFields::SPEC);
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
    std::array<QLatin1String, CardFields::StoredCount> names;
    FieldNames()
    {
        for (int field = 0; field < CardFields::StoredCount; ++field)
            names[size_t(field)] = QLatin1String(CardFields::def(field).name);
    }
};

const std::array<QLatin1String, CardFields::StoredCount> &fieldNames()
{
    static const FieldNames names;
    return names.names;
}

void appendBlock(QString &out, const CardRecord &card, int number)
{
    const auto &names = fieldNames();
    out += u'[';
    out += QString::number(number);
    out += u']';
    out += kNewLine;
    for (int field = 0; field < CardFields::StoredCount; ++field) {
        const QLatin1String name = names[size_t(field)];
        if (!card.hasValue(field) || (name.size() > 1 && name.at(1) == u'_'))
            continue; // a "_" second marks a calculated field, which never has a line
        out += u'@';
        out += name;
        out += u'=';
        switch (CardFields::def(field).type) {
        case FieldType::Integer:
            out += QString::number(qint64(card.number(field)));
            break;
        case FieldType::Text:
            CardTextCodec::appendText(out, card.text(field));
            break;
        case FieldType::Date:
        case FieldType::DateTime:
            CardTextCodec::appendDayNumber(out, card.number(field));
            break;
        }
        out += kNewLine;
    }
    out += kNewLine;
}

// The stored field a field line names ("@fam=..." names FAM), or -1; value is what follows the
// first "=". Field names are ASCII, and no other character of Windows-1251 folds to one.
int fieldOfLine(QStringView line, QStringView &value)
{
    constexpr qsizetype kLongestName = 10;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 2 || eq > kLongestName + 1 || line.front() != u'@')
        return -1;
    char name[kLongestName];
    const qsizetype length = eq - 1;
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = line.at(i + 1).unicode();
        if (c >= 0x80)
            return -1;
        name[i] = (c >= u'a' && c <= u'z') ? char(c - (u'a' - u'A')) : char(c);
    }
    const auto &names = fieldNames();
    for (int field = 0; field < CardFields::StoredCount; ++field) {
        const QLatin1String candidate = names[size_t(field)];
        if (candidate.size() == length &&
            std::memcmp(candidate.data(), name, size_t(length)) == 0) {
            value = line.mid(eq + 1);
            return field;
        }
    }
    return -1;
}

void assignField(CardTable &table, int field, QStringView value)
{
    const CardField handle = table.field(field);
    const FieldType type = CardFields::def(field).type;
    if (type == FieldType::Integer) {
        qint32 v = 0;
        if (CardTextCodec::decodeInteger(value, v))
            handle.setAsInteger(v);
        return;
    }
    if (type == FieldType::Date || type == FieldType::DateTime) {
        double v = 0;
        if (CardTextCodec::decodeDayNumber(value, type, v))
            handle.setAsDayNumber(v);
        return;
    }
    const QString text = CardTextCodec::decodeText(value);
    if (text.isEmpty())
        return;
    handle.setAsString(text);
    // Blanks only make the empty text, which a file holds as no value: so it is none here too.
    if (handle.asString().isEmpty())
        handle.clear();
}

using CardLines = std::array<std::optional<QStringView>, CardFields::StoredCount>;

// Appends one card and posts it. A card the table refuses is dropped and reported; returns
// whether it was dropped.
bool postCard(CardTable &table, const CardLines &values)
{
    try {
        table.append();
        for (int field = 0; field < CardFields::StoredCount; ++field) {
            if (values[size_t(field)])
                assignField(table, field, *values[size_t(field)]);
        }
        table.post();
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

    QString out;
    out.reserve(qsizetype(table.count()) * 320 + 16);
    out += kMagic;
    out += kNewLine;
    int written = 0;
    std::optional<QString> stop;
    for (int row = 0; row < table.count(); ++row) {
        const CardRecord &card = *table.recordAt(row);
        stop = listTestFailure(card, lists);
        if (stop)
            break;
        appendBlock(out, card, ++written);
    }
    // The whole text is encoded at once: a character Windows-1251 cannot hold stops the write
    // before the file is touched.
    FileSystem::writeWhole(path, Cp1251::encode(out));
    if (stop)
        throw QorError(*stop);
    return written;
}

int ReadCards(CardTable &table, const QString &path)
{
    BusyCursor busy;
    const QString text = Cp1251::decode(FileSystem::readWhole(path));
    CardTextCodec::LineReader lines(text);
    QStringView line;
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
            QStringView value;
            const int field = fieldOfLine(line, value);
            if (field >= 0 && !values[size_t(field)]) // the first line of a field wins
                values[size_t(field)] = value;
        }
        if (postCard(table, values))
            ++refused;
    }
    return refused;
}
