#pragma once

#include "data/CardFields.h"

#include <QString>
#include <array>

// The stored values of one card. Integer and date fields keep a number, text fields a text;
// a field without a value has its bit clear in `present`.
class CardRecord
{
public:
    bool hasValue(int field) const { return (m_present >> field) & 1u; }
    double number(int field) const { return hasValue(field) ? m_numbers[numberSlot(field)] : 0.0; }
    const QString &text(int field) const;

    void setNumber(int field, double value);
    void setText(int field, QString value);
    void clear(int field);
    bool isBlank() const { return m_present == 0; }

    quint64 seq() const { return m_seq; }
    void setSeq(quint64 seq) { m_seq = seq; }

    static bool isNumeric(int field) { return CardFields::def(field).type != FieldType::Text; }

private:
    static int numberSlot(int field);
    static int textSlot(int field);

    quint64 m_seq = 0; // insertion order; also the card's bookmark
    quint32 m_present = 0;
    std::array<double, 4> m_numbers{};
    std::array<QString, 14> m_texts;
};

// The values of the calculated fields of one card, as the calculation handler fills them.
struct CalculatedValues
{
    std::array<QString, CardFields::Count - CardFields::StoredCount> texts;
    std::array<bool, CardFields::Count - CardFields::StoredCount> present{};

    void set(int field, const QString &text);
    bool hasValue(int field) const { return present[size_t(field - CardFields::StoredCount)]; }
    const QString &text(int field) const { return texts[size_t(field - CardFields::StoredCount)]; }
};
