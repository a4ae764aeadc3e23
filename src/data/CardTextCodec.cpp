#include "data/CardTextCodec.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr int kDecimals = 5;
// 1 January 10000: the first day number that names no date.
constexpr double kPastLastDay = 2958466.0;

// A day number with five decimals in fixed point, written into text: the usual case, every date
// before the year 2173, done in integers. Returns its length, 0 for the other cases.
int plainDayNumber(char (&text)[24], double value)
{
    // At most five digits before the point, so that five decimals are at most ten significant
    // digits. Rounded in integers, unless the value lies so close to half a unit of the last
    // decimal that the product may have erred.
    if (!(value >= 0 && value < 1e5))
        return 0;
    const double scaled = value * 1e5;
    const double rounded = std::floor(scaled + 0.5);
    if (!(std::fabs(scaled - rounded) < 0.5 - 1e-4))
        return 0;
    const qint64 units = qint64(rounded);
    char digits[16];
    int n = 0;
    for (qint64 whole = units / 100000; whole > 0 || n == 0; whole /= 10)
        digits[n++] = char('0' + whole % 10);
    int length = 0;
    while (n > 0)
        text[length++] = digits[--n];
    text[length++] = '-';
    qint64 fraction = units % 100000;
    for (int i = 4; i >= 0; --i, fraction /= 10)
        text[length + i] = char('0' + fraction % 10);
    return length + 5;
}

} // namespace

namespace CardTextCodec {

QString formatDayNumber(double value, int significantDigits)
{
    QString text;
    appendDayNumber(text, value, significantDigits);
    return text;
}

void appendDayNumber(QString &out, double value, int significantDigits)
{
    char plain[24];
    if (significantDigits >= 10) {
        if (const int length = plainDayNumber(plain, value)) {
            out += QLatin1String(plain, length);
            return;
        }
    }
    if (!std::isfinite(value)) {
        out += QLatin1String("0-00000");
        return;
    }
    // The decimal exponent after rounding to the significant digits decides how many of the
    // five decimals carry digits; the rest are zeros. One rounding only, half away from zero.
    const QString scientific = QString::number(value, 'e', significantDigits - 1);
    const int exponent = scientific.mid(scientific.indexOf(u'e') + 1).toInt();
    const int decimals = qMin(kDecimals, significantDigits - 1 - exponent);
    QString text = decimals >= 0 ? QString::number(value, 'f', decimals)
                                 : QString::number(scientific.toDouble(), 'f', 0);
    if (decimals <= 0)
        text += u'.';
    text += QString(kDecimals - qMax(decimals, 0), u'0');
    text.replace(text.lastIndexOf(u'.'), 1, u'-');
    out += text;
}

qsizetype writeDayNumber(char (&out)[32], double value)
{
    char plain[24];
    if (const int length = plainDayNumber(plain, value)) {
        std::memcpy(out, plain, size_t(length));
        return length;
    }
    const QByteArray text = formatDayNumber(value).toLatin1();
    const qsizetype length = qMin<qsizetype>(text.size(), sizeof out);
    std::memcpy(out, text.constData(), size_t(length));
    return length;
}

QByteArray decodeText(QByteArrayView value)
{
    QByteArray text = value.toByteArray();
    if (value.contains(QByteArrayView("#13#10")))
        text.replace(QByteArrayView("#13#10"), QByteArrayView("\r\n"));
    return text;
}

bool decodeInteger(QStringView value, qint32 &out)
{
    bool ok = false;
    const qlonglong v = value.toLongLong(&ok, 10);
    if (!ok || v < 0 || v > std::numeric_limits<qint32>::max())
        return false;
    out = qint32(v);
    return true;
}

namespace {

// "digits" or "digits-digits" with at most five digits on either side, as every file this
// program writes holds its dates: read exactly (an integer divided by a power of ten is the
// correctly rounded value, as the general parser gives it). False for anything else.
bool readPlainDayNumber(QStringView value, double &out)
{
    qint64 whole = 0;
    qint64 fraction = 0;
    int wholeDigits = 0;
    int fractionDigits = 0;
    bool point = false;
    for (const QChar ch : value) {
        const char16_t c = ch.unicode();
        if (c == u'-' && !point && wholeDigits > 0) {
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            if (point) {
                fraction = fraction * 10 + (c - u'0');
                ++fractionDigits;
            } else {
                whole = whole * 10 + (c - u'0');
                ++wholeDigits;
            }
            if (wholeDigits > 5 || fractionDigits > 5)
                return false;
        } else {
            return false;
        }
    }
    if (wholeDigits == 0)
        return false;
    static const double kPowers[] = {1, 10, 100, 1000, 10000, 100000};
    const double scale = kPowers[fractionDigits];
    out = double(whole * qint64(scale) + fraction) / scale;
    return true;
}

} // namespace

bool decodeDayNumber(QStringView value, FieldType type, double &out)
{
    double v = 0;
    if (readPlainDayNumber(value, v)) {
        // Below 100000 with five decimals at most, the file holds the value as it is.
        if (type == FieldType::Date)
            v = std::trunc(v);
        if (!(v > 0))
            return false;
        out = v;
        return true;
    }
    QString text = value.toString();
    text.replace(u'-', u'.');
    bool ok = false;
    v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (type == FieldType::Date)
        v = std::trunc(v);
    // What the file would hold for this value decides, so that a card read from a file writes
    // the same file again: 0.000001 would be written as 0-00000 and then read as no value.
    if (!(v > 0) || v >= kPastLastDay)
        return false;
    // The card takes the value as the file holds it: a value with more digits than a file
    // keeps (458466.99999) would otherwise be written as another day (458467.0000).
    const double held = formatDayNumber(v).replace(u'-', u'.').toDouble();
    if (!(held > 0) || held >= kPastLastDay)
        return false;
    out = type == FieldType::Date ? std::trunc(held) : held;
    return true;
}

bool LineReader::next(QByteArrayView &line)
{
    const qsizetype size = m_text.size();
    if (m_pos >= size)
        return false;
    const char *data = m_text.data();
    qsizetype end = m_pos;
    while (end < size && data[end] != '\r' && data[end] != '\n')
        ++end;
    line = m_text.sliced(m_pos, end - m_pos);
    if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n')
        m_pos = end + 2;
    else
        m_pos = end + 1;
    return true;
}

} // namespace CardTextCodec
