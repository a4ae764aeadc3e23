#include "data/CardValue.h"

#include "platform/Clock.h"
#include "platform/Cp1251.h"
#include "platform/QorError.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double kFirstDayNumber = -693593; // 1 January 0001
constexpr double kLastDayNumber = 2958465;  // 31 December 9999

// A card file carries a line break only as a CR LF pair: a lone CR or LF, as text pasted from
// another program may hold, becomes one, so that no line of a text is lost on its way through
// the file.
QString withPairedLineBreaks(const QString &text)
{
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            out += QLatin1String("\r\n");
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

qint64 parseInteger(const QString &text, bool *ok)
{
    return text.trimmed().toLongLong(ok, 10);
}

void checkIntegerRange(qint64 value, const QString &shown)
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw QorError(QStringLiteral("%1 не является допустимым целым значением").arg(shown));
}

double parseDate(const QString &text, FieldType type)
{
    // Date and time apart, with no time zone: a day number is what the clock on the wall said,
    // also in the hour it skips in spring.
    const QString t = text.trimmed();
    const qsizetype blank = t.indexOf(u' ');
    const QDate date = QDate::fromString(blank < 0 ? t : t.left(blank), QStringLiteral("d.M.yyyy"));
    if (date.isValid() && blank < 0)
        return Clock::toDayNumber(date);
    if (date.isValid() && type != FieldType::Date) {
        const QString clock = t.mid(blank + 1);
        for (const QString &form : {QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")}) {
            const QTime time = QTime::fromString(clock, form);
            if (time.isValid())
                return Clock::toDayNumber(date, time);
        }
    }
    throw QorError(QStringLiteral("'%1' не является правильной датой").arg(text));
}

} // namespace

namespace CardValue {

void assignText(CardRecord &record, int field, const QString &text)
{
    const FieldDef &def = CardFields::def(field);
    switch (def.type) {
    case FieldType::Text: {
        const QString paired = withPairedLineBreaks(text);
        const QStringView stored = QStringView(paired).left(def.size);
        // Refused here, with the field named, rather than when the meeting is saved: a card
        // that cannot be written would make every later save of its meeting fail.
        const QString bad = Cp1251::firstUnencodableCharacter(stored);
        if (!bad.isEmpty())
            throw QorError(QStringLiteral("Символ \"%1\" нельзя записать в поле '%2': его нет "
                                          "в кодировке Windows-1251")
                               .arg(bad, def.labelText()));
        assignTextBytes(record, field, Cp1251::encode(stored));
        return;
    }
    case FieldType::Integer: {
        if (text.trimmed().isEmpty()) {
            record.clear(field);
            return;
        }
        bool ok = false;
        const qint64 v = parseInteger(text, &ok);
        if (!ok)
            throw QorError(QStringLiteral("'%1' не является целым числом").arg(text));
        checkIntegerRange(v, text);
        record.setNumber(field, double(v));
        return;
    }
    case FieldType::Date:
    case FieldType::DateTime:
        if (text.trimmed().isEmpty()) {
            record.clear(field);
            return;
        }
        assignNumber(record, field, parseDate(text, def.type));
        return;
    }
}

void assignTextBytes(CardRecord &record, int field, QByteArrayView bytes)
{
    QByteArrayView stored = bytes.first(qMin<qsizetype>(bytes.size(), CardFields::def(field).size));
    // Cut inside a CR LF pair, the half that is left goes too.
    if (stored.endsWith('\r'))
        stored.chop(1);
    // Trailing blanks go; a TAB stays.
    while (stored.endsWith(' '))
        stored.chop(1);
    record.setTextBytes(field, stored);
}

void assignInteger(CardRecord &record, int field, qint64 value)
{
    const FieldDef &def = CardFields::def(field);
    if (def.type == FieldType::Text) {
        assignText(record, field, QString::number(value));
        return;
    }
    if (def.type == FieldType::Integer)
        checkIntegerRange(value, QString::number(value));
    assignNumber(record, field, double(value));
}

void assignNumber(CardRecord &record, int field, double value)
{
    const FieldDef &def = CardFields::def(field);
    if (!std::isfinite(value))
        throw QorError(QStringLiteral("Недопустимое числовое значение"));
    switch (def.type) {
    case FieldType::Text:
        assignText(record, field, QString::number(value, 'g', 15));
        return;
    case FieldType::Integer: {
        const double r = std::round(value);
        if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
            throw QorError(QStringLiteral("%1 не является допустимым целым значением").arg(value));
        record.setNumber(field, r);
        return;
    }
    case FieldType::Date:
    case FieldType::DateTime:
        // Dates run from 1 January 0001 to 31 December 9999, as everywhere in the program.
        if (value <= kFirstDayNumber - 1 || value >= kLastDayNumber + 1)
            throw QorError(QStringLiteral("Недопустимое значение даты: %1").arg(value, 0, 'f', 5));
        // A date keeps whole days.
        record.setNumber(field, def.type == FieldType::Date ? std::trunc(value) : value);
        return;
    }
}

QString asText(const CardRecord &record, int field)
{
    if (!record.hasValue(field))
        return QString();
    switch (CardFields::def(field).type) {
    case FieldType::Text:
        return record.text(field);
    case FieldType::Integer:
    case FieldType::Date:
    case FieldType::DateTime: {
        char text[kMaxPlainText];
        return QString::fromLatin1(text, writePlainText(record, field, text));
    }
    }
    return QString();
}

qint32 asInteger(const CardRecord &record, int field)
{
    if (!record.hasValue(field))
        return 0;
    if (CardFields::def(field).type == FieldType::Text) {
        bool ok = false;
        const qint64 v = parseInteger(record.text(field), &ok);
        if (!ok)
            throw QorError(QStringLiteral("'%1' не является целым числом").arg(record.text(field)));
        checkIntegerRange(v, record.text(field));
        return qint32(v);
    }
    return qint32(std::trunc(record.number(field)));
}

double asNumber(const CardRecord &record, int field)
{
    if (!record.hasValue(field))
        return 0.0;
    if (CardFields::def(field).type == FieldType::Text) {
        bool ok = false;
        const double v = QLocale::c().toDouble(record.text(field).trimmed(), &ok);
        if (!ok)
            throw QorError(QStringLiteral("'%1' не является числом").arg(record.text(field)));
        return v;
    }
    return record.number(field);
}

namespace {

void putDigits(char *&p, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        p[i] = char('0' + value % 10);
        value /= 10;
    }
    p += width;
}

// "dd.MM.yyyy", then " H:mm:ss" when the time is not midnight and is wanted, written digit by
// digit: QLocale's formatting with its pattern took a fifth of a printed list of 100 000 cards.
int writeDate(double dayNumber, bool withTime, char *out)
{
    const Clock::DateAndTime when = Clock::dateAndTimeOf(dayNumber);
    if (!when.date.isValid())
        return 0;
    int year = 0, month = 0, day = 0;
    when.date.getDate(&year, &month, &day);
    char *p = out;
    putDigits(p, day, 2);
    *p++ = '.';
    putDigits(p, month, 2);
    *p++ = '.';
    putDigits(p, year, 4); // dates run from the year 1 to 9999
    // As the regional settings show a date and time: the time is left out at midnight.
    if (withTime && when.time != QTime(0, 0)) {
        const int hour = when.time.hour();
        *p++ = ' ';
        putDigits(p, hour, hour < 10 ? 1 : 2);
        *p++ = ':';
        putDigits(p, when.time.minute(), 2);
        *p++ = ':';
        putDigits(p, when.time.second(), 2);
    }
    return int(p - out);
}

} // namespace

int writePlainText(const CardRecord &record, int field, char *out)
{
    if (!record.hasValue(field))
        return 0;
    switch (CardFields::def(field).type) {
    case FieldType::Integer:
        return int(std::to_chars(out, out + kMaxPlainText, qint64(record.number(field))).ptr - out);
    case FieldType::Date:
        return writeDate(record.number(field), false, out);
    case FieldType::DateTime:
        return writeDate(record.number(field), true, out);
    case FieldType::Text:
        break;
    }
    return 0;
}

} // namespace CardValue
