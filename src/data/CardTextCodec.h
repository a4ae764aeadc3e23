#pragma once

#include "data/CardFields.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// How values and lines look in a card file. Numbers are formatted and parsed here, never
// through the regional settings: the decimal point is always written as "-".
namespace CardTextCodec {

// A day number in fixed-point notation: rounded to at most ten significant digits, exactly five
// digits after the point, "-" in place of the point ("42809-60417"). Other floating-point
// numbers use eighteen significant digits.
QString formatDayNumber(double value, int significantDigits = 10);
void appendDayNumber(QString &out, double value, int significantDigits = 10);
// The same written into out; returns its length.
qsizetype writeDayNumber(char (&out)[32], double value);

// Every "#13#10" replaced by CR LF.
QByteArray decodeText(QByteArrayView value);

// A decimal integer; false for anything else, for a negative number and for one that does not
// fit in 32 bits.
bool decodeInteger(QStringView value, qint32 &out);

// A day number with "-" as its point; false for anything else and for a value that is not
// greater than 0 in the file's own precision. A date field keeps whole days. A value beyond
// 31 December 9999 is no date and gives false as well.
bool decodeDayNumber(QStringView value, FieldType type, double &out);

// The lines of a text: CR LF, a lone CR or a lone LF ends a line. A line break at the very end
// does not begin another line; an empty text has no line.
class LineReader
{
public:
    explicit LineReader(QByteArrayView text) : m_text(text) {}
    bool next(QByteArrayView &line);

private:
    QByteArrayView m_text;
    qsizetype m_pos = 0;
};

// A card header line: at least three characters, "[" first and "]" last.
inline bool isHeaderLine(QByteArrayView line)
{
    return line.size() >= 3 && line.front() == '[' && line.back() == ']';
}

} // namespace CardTextCodec
