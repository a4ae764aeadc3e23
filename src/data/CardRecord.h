#pragma once

#include "data/CardFields.h"

#include <QByteArrayView>
#include <QString>
#include <array>
#include <memory>

// The stored values of one card. Integer and date fields keep a number. The texts, which are
// Windows-1251 text by the rule of assignment, are kept together as Windows-1251 bytes in one
// buffer: a card in memory takes little more room than its lines in a file, and a writer copies
// its bytes as they are. A field without a value has its bit clear in `present`.
class CardRecord
{
public:
    CardRecord() = default;
    CardRecord(const CardRecord &other);
    CardRecord &operator=(const CardRecord &other);
    CardRecord(CardRecord &&) noexcept = default;
    CardRecord &operator=(CardRecord &&) noexcept = default;
    ~CardRecord() = default;

    bool hasValue(int field) const { return (m_present >> field) & 1u; }
    double number(int field) const { return hasValue(field) ? m_numbers[numberSlot(field)] : 0.0; }
    // A text field's text; empty without a value.
    QString text(int field) const;
    // The same as Windows-1251 bytes, valid until the record changes.
    QByteArrayView textBytes(int field) const
    {
        if (!hasValue(field))
            return QByteArrayView();
        const int slot = textSlot(field);
        const int start = textStart(slot);
        return QByteArrayView(m_bytes.get() + start, m_ends[size_t(slot)] - start);
    }
    // Whether a text field holds a line break (a CR LF pair), known without reading it.
    bool hasLineBreak(int field) const { return (m_withBreaks >> textSlot(field)) & 1u; }

    void setNumber(int field, double value);
    // Bytes of Windows-1251 text, at most the field's size of them.
    void setTextBytes(int field, QByteArrayView bytes);
    void clear(int field);
    bool isBlank() const { return m_present == 0; }

    // Makes room for texts of that many bytes at once, as a reader that knows them does.
    void reserveTexts(int bytes);
    // Gives back the spare room of the text buffer, once the card is stored.
    void squeeze();

    // Whether the card passed the list tests of the card text format with the lists of a
    // variant (0 or 1) since its values last changed: a meeting is written after every change
    // of one card, and the others need not be tested again.
    bool passedListTests(int variant) const { return (m_listsPassed >> variant) & 1u; }
    void notePassedListTests(int variant) const
    {
        m_listsPassed = quint8(m_listsPassed | (1u << variant));
    }

    // Ask the processor to fetch the card, or its texts, ahead of their reading: a walk over a
    // large meeting in a sorted order would otherwise wait for memory at every card.
    void prefetch() const { prefetchBytes(this, sizeof *this); }
    void prefetchTexts() const { prefetchBytes(m_bytes.get(), m_capacity); }

    quint64 seq() const { return m_seq; }
    void setSeq(quint64 seq) { m_seq = seq; }

    static bool isNumeric(int field) { return CardFields::def(field).type != FieldType::Text; }

private:
    static void prefetchBytes(const void *at, size_t size)
    {
#if defined(__GNUC__) || defined(__clang__)
        for (size_t offset = 0; at && offset < size; offset += 64)
            __builtin_prefetch(static_cast<const char *>(at) + offset);
#endif
    }

    static constexpr int kTexts = 14;
    // Each stored field's place in the number or the text array, in field order (the four
    // numbers are FTYPE, PODKOM, CHANGEDATE and CATDATE).
    static constexpr std::array<quint8, CardFields::StoredCount> kSlots = {
        0, 1, 2, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 3, 11, 12, 13};
    static int numberSlot(int field) { return kSlots[size_t(field)]; }
    static int textSlot(int field) { return kSlots[size_t(field)]; }
    int textStart(int slot) const { return slot == 0 ? 0 : m_ends[size_t(slot - 1)]; }
    int textsSize() const { return m_ends[kTexts - 1]; }

    quint64 m_seq = 0; // insertion order; also the card's bookmark
    quint32 m_present = 0;
    quint16 m_capacity = 0;
    quint16 m_withBreaks = 0;             // the text slots holding a CR
    mutable quint8 m_listsPassed = 0;     // a cache of the list tests, by variant
    std::array<quint16, kTexts> m_ends{}; // where each text ends in the buffer
    std::array<double, 4> m_numbers{};
    std::unique_ptr<char[]> m_bytes; // the texts one after another, in field order
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
