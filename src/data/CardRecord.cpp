#include "data/CardRecord.h"

#include <array>

namespace {

// Each stored field's place in the number or the text array of a record.
struct FieldSlots
{
    std::array<int, CardFields::StoredCount> index{};
    FieldSlots()
    {
        int numbers = 0;
        int texts = 0;
        for (int i = 0; i < CardFields::StoredCount; ++i)
            index[size_t(i)] = CardRecord::isNumeric(i) ? numbers++ : texts++;
    }
};

const FieldSlots &fieldSlots()
{
    static const FieldSlots s;
    return s;
}

const QString kNoText;

} // namespace

int CardRecord::numberSlot(int field)
{
    return fieldSlots().index[size_t(field)];
}

int CardRecord::textSlot(int field)
{
    return fieldSlots().index[size_t(field)];
}

const QString &CardRecord::text(int field) const
{
    return hasValue(field) ? m_texts[size_t(textSlot(field))] : kNoText;
}

void CardRecord::setNumber(int field, double value)
{
    m_numbers[size_t(numberSlot(field))] = value;
    m_present |= 1u << field;
}

void CardRecord::setText(int field, QString value)
{
    m_texts[size_t(textSlot(field))] = std::move(value);
    m_present |= 1u << field;
}

void CardRecord::clear(int field)
{
    m_present &= ~(1u << field);
    if (isNumeric(field))
        m_numbers[size_t(numberSlot(field))] = 0;
    else
        m_texts[size_t(textSlot(field))].clear();
}

void CalculatedValues::set(int field, const QString &text)
{
    const size_t i = size_t(field - CardFields::StoredCount);
    texts[i] = text;
    present[i] = true;
}
