#include "data/CardTable.h"

#include "data/CardValue.h"
#include "platform/Clock.h"

// Field handles read through the table, so that they always see the current card or the
// pending one, and assign through it, so that every change is checked and announced.

bool CardField::hasValue() const
{
    const CardRecord *r = m_table->currentRecord();
    return r && m_table->hasValue(*r, m_index);
}

QString CardField::asString() const
{
    const CardRecord *r = m_table->currentRecord();
    return r ? m_table->text(*r, m_index) : QString();
}

qint32 CardField::asInteger() const
{
    if (isCalculated()) {
        bool ok = false;
        const int v = asString().toInt(&ok);
        return ok ? v : 0;
    }
    const CardRecord *r = m_table->currentRecord();
    return r ? CardValue::asInteger(*r, m_index) : 0;
}

double CardField::asFloat() const
{
    if (isCalculated())
        return asString().toDouble();
    const CardRecord *r = m_table->currentRecord();
    return r ? CardValue::asNumber(*r, m_index) : 0.0;
}

QDate CardField::asDate() const
{
    if (!hasValue())
        return QDate();
    return Clock::fromDayNumber(asFloat()).date();
}

void CardField::setAsString(const QString &text) const
{
    m_table->assign(m_index, [&](CardRecord &r) { CardValue::assignText(r, m_index, text); });
}

void CardField::setAsInteger(qint64 value) const
{
    m_table->assign(m_index, [&](CardRecord &r) { CardValue::assignInteger(r, m_index, value); });
}

void CardField::setAsFloat(double value) const
{
    m_table->assign(m_index, [&](CardRecord &r) { CardValue::assignNumber(r, m_index, value); });
}

void CardField::setAsDate(const QDate &date) const
{
    if (!date.isValid()) {
        clear();
        return;
    }
    setAsFloat(Clock::toDayNumber(date));
}

void CardField::clear() const
{
    m_table->assign(m_index, [&](CardRecord &r) { r.clear(m_index); });
}
