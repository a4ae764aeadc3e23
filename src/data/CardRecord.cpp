#include "data/CardRecord.h"

#include "platform/Cp1251.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// The most a card's texts can take: the sum of the text fields' sizes.
constexpr int kMostText = 40 * 6 + 9 + 6 + 50 + 3 + 3 + 20 + 3 + 3;
// Room taken at the first text, enough for the texts of a usual card at once.
constexpr int kFirstRoom = 192;

} // namespace

CardRecord::CardRecord(const CardRecord &other)
    : m_seq(other.m_seq), m_present(other.m_present), m_capacity(quint16(other.textsSize())),
      m_withBreaks(other.m_withBreaks), m_listsPassed(other.m_listsPassed), m_ends(other.m_ends),
      m_numbers(other.m_numbers)
{
    if (m_capacity > 0) {
        m_bytes.reset(new char[m_capacity]);
        std::memcpy(m_bytes.get(), other.m_bytes.get(), m_capacity);
    }
}

CardRecord &CardRecord::operator=(const CardRecord &other)
{
    if (this != &other)
        *this = CardRecord(other);
    return *this;
}

QString CardRecord::text(int field) const
{
    return Cp1251::decode(textBytes(field));
}

void CardRecord::setNumber(int field, double value)
{
    m_listsPassed = 0;
    m_numbers[size_t(numberSlot(field))] = value;
    m_present |= 1u << field;
}

void CardRecord::setTextBytes(int field, QByteArrayView bytes)
{
    m_listsPassed = 0;
    if (m_bytes && bytes.data() >= m_bytes.get() && bytes.data() < m_bytes.get() + m_capacity) {
        const QByteArray copy = bytes.toByteArray(); // a text of this very card
        setTextBytes(field, copy);
        return;
    }
    const int slot = textSlot(field);
    const int start = textStart(slot);
    const int oldLength = m_ends[size_t(slot)] - start;
    const int newLength = int(qMin<qsizetype>(bytes.size(), CardFields::def(field).size));
    const int total = textsSize() - oldLength + newLength;
    const int tail = textsSize() - m_ends[size_t(slot)];
    if (total > m_capacity) {
        const int room = qMin(kMostText, qMax(total, m_capacity == 0 ? kFirstRoom : 2 * total));
        std::unique_ptr<char[]> grown(new char[size_t(room)]);
        if (start > 0)
            std::memcpy(grown.get(), m_bytes.get(), size_t(start));
        if (tail > 0)
            std::memcpy(grown.get() + start + newLength, m_bytes.get() + m_ends[size_t(slot)],
                        size_t(tail));
        m_bytes = std::move(grown);
        m_capacity = quint16(room);
    } else if (tail > 0 && newLength != oldLength) {
        std::memmove(m_bytes.get() + start + newLength, m_bytes.get() + m_ends[size_t(slot)],
                     size_t(tail));
    }
    if (newLength > 0)
        std::memcpy(m_bytes.get() + start, bytes.data(), size_t(newLength));
    if (newLength > 0 && std::memchr(bytes.data(), '\r', size_t(newLength)))
        m_withBreaks = quint16(m_withBreaks | (1u << slot));
    else
        m_withBreaks = quint16(m_withBreaks & ~(1u << slot));
    const int shift = newLength - oldLength;
    for (int s = slot; s < kTexts; ++s)
        m_ends[size_t(s)] = quint16(m_ends[size_t(s)] + shift);
    m_present |= 1u << field;
}

void CardRecord::clear(int field)
{
    m_listsPassed = 0;
    if (isNumeric(field))
        m_numbers[size_t(numberSlot(field))] = 0;
    else if (hasValue(field))
        setTextBytes(field, QByteArrayView());
    m_present &= ~(1u << field);
}

void CardRecord::reserveTexts(int bytes)
{
    const int room = qMin(bytes, kMostText);
    if (room <= m_capacity)
        return;
    std::unique_ptr<char[]> grown(new char[size_t(room)]);
    if (textsSize() > 0)
        std::memcpy(grown.get(), m_bytes.get(), size_t(textsSize()));
    m_bytes = std::move(grown);
    m_capacity = quint16(room);
}

void CardRecord::squeeze()
{
    // A few spare bytes are not worth a new buffer.
    constexpr int kWorthIt = 32;
    const int size = textsSize();
    if (m_capacity - size < kWorthIt)
        return;
    std::unique_ptr<char[]> exact(size > 0 ? new char[size_t(size)] : nullptr);
    if (size > 0)
        std::memcpy(exact.get(), m_bytes.get(), size_t(size));
    m_bytes = std::move(exact);
    m_capacity = quint16(size);
}

void CalculatedValues::set(int field, const QString &text)
{
    const size_t i = size_t(field - CardFields::StoredCount);
    texts[i] = text;
    present[i] = true;
}
