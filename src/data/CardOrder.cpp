#include "data/CardOrder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/Cp1251.h"

namespace {

// Primary weights: a letter weighs the same in both cases, so that case only breaks ties.
struct Weights
{
    std::array<quint32, 0x10000> primary{};
    Weights()
    {
        for (quint32 c = 0; c < 0x10000; ++c)
            primary[c] = c;
        for (quint32 c = 'A'; c <= 'Z'; ++c)
            primary[c] = primary[c + 32] = 0x10000 + (c - 'A');
        // Cyrillic а..я (U+0430..U+044F) and А..Я (U+0410..U+042F), with Ё/ё right after Е/е.
        for (quint32 i = 0; i < 32; ++i) {
            const quint32 w = 0x20000 + 2 * i + (i > 5 ? 2 : 0);
            primary[0x410 + i] = primary[0x430 + i] = w;
        }
        primary[0x401] = primary[0x451] = 0x20000 + 2 * 5 + 1;
    }
};

const Weights &weights()
{
    static const Weights w;
    return w;
}

bool isLowerLetter(char16_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 0x430 && c <= 0x44F) || c == 0x451;
}

// The same order over Windows-1251 bytes, as cards keep their texts: each byte's rank among
// the primary weights of the 256 characters, and whether it is a lower-case letter.
struct ByteWeights
{
    std::array<quint8, 256> rank{};
    std::array<bool, 256> lower{};
    ByteWeights()
    {
        const auto &w = weights().primary;
        std::array<quint32, 256> primary{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const char16_t c = Cp1251::decode(QByteArrayView(&byte, 1)).at(0).unicode();
            primary[size_t(b)] = w[c];
            lower[size_t(b)] = isLowerLetter(c);
        }
        std::array<quint32, 256> sorted = primary;
        std::sort(sorted.begin(), sorted.end());
        for (int b = 0; b < 256; ++b)
            rank[size_t(b)] =
                quint8(std::lower_bound(sorted.begin(), sorted.end(), primary[size_t(b)]) -
                       sorted.begin());
    }
};

const ByteWeights &byteWeights()
{
    static const ByteWeights w;
    return w;
}

} // namespace

namespace CardOrder {

int compareTexts(QStringView a, QStringView b)
{
    const auto &w = weights().primary;
    const qsizetype n = qMin(a.size(), b.size());
    int tie = 0; // the first difference in letter case, lower case first
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = a[i].unicode();
        const char16_t cb = b[i].unicode();
        if (ca == cb)
            continue;
        const quint32 wa = w[ca];
        const quint32 wb = w[cb];
        if (wa != wb)
            return wa < wb ? -1 : 1;
        if (tie == 0)
            tie = isLowerLetter(ca) ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return tie;
}

int compareTexts(QByteArrayView a, QByteArrayView b)
{
    const ByteWeights &w = byteWeights();
    const qsizetype n = qMin(a.size(), b.size());
    int tie = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const quint8 ca = quint8(a[i]);
        const quint8 cb = quint8(b[i]);
        if (ca == cb)
            continue;
        if (w.rank[ca] != w.rank[cb])
            return w.rank[ca] < w.rank[cb] ? -1 : 1;
        if (tie == 0)
            tie = w.lower[ca] ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return tie;
}

int compareValues(const CardRecord &a, const CardRecord &b, int field)
{
    const bool ha = a.hasValue(field);
    const bool hb = b.hasValue(field);
    if (!ha || !hb)
        return ha == hb ? 0 : (ha ? 1 : -1);
    if (CardRecord::isNumeric(field)) {
        const double va = a.number(field);
        const double vb = b.number(field);
        return va < vb ? -1 : (vb < va ? 1 : 0);
    }
    return compareTexts(a.textBytes(field), b.textBytes(field));
}

} // namespace CardOrder

namespace {

// Cards without a value first, then by the value, then in insertion order.
std::vector<quint32> numberOrder(const std::vector<CardRecord *> &cards, int field)
{
    struct Item
    {
        double number;
        quint64 seq;
        bool has;
        quint32 place;
    };
    std::vector<Item> items;
    items.reserve(cards.size());
    for (const CardRecord *c : cards) {
        const bool has = field >= 0 && c->hasValue(field);
        items.push_back({has ? c->number(field) : 0.0, c->seq(), has, quint32(items.size())});
    }
    std::sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
        if (a.has != b.has)
            return !a.has;
        if (a.has && a.number != b.number)
            return a.number < b.number;
        return a.seq < b.seq;
    });
    std::vector<quint32> order(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].place;
    return order;
}

// Texts are sorted as their distinct values: the values once, by their primary ranks gathered
// into one block (most comparisons are then a plain byte comparison), and the cards by the
// place of their value and their insertion order. A column holds few distinct values (a
// category, a position) or many (surnames); both sort fast.
std::vector<quint32> textOrder(const std::vector<CardRecord *> &cards, int field)
{
    constexpr quint32 kNone = 0; // the place of "no value": before every value
    std::unordered_map<std::string_view, quint32> ids;
    std::vector<QByteArrayView> values;
    std::vector<quint32> idOf;
    idOf.reserve(cards.size());
    for (const CardRecord *c : cards) {
        if (!c->hasValue(field)) {
            idOf.push_back(kNone);
            continue;
        }
        const QByteArrayView text = c->textBytes(field);
        const auto [it, added] = ids.try_emplace(std::string_view(text.data(), size_t(text.size())),
                                                 quint32(values.size() + 1));
        if (added)
            values.push_back(text);
        idOf.push_back(it->second);
    }

    const ByteWeights &w = byteWeights();
    std::string ranks;
    std::vector<std::pair<quint32, quint32>> rankSpan; // where each value's ranks lie
    rankSpan.reserve(values.size());
    for (const QByteArrayView text : values) {
        rankSpan.push_back({quint32(ranks.size()), quint32(text.size())});
        for (const char byte : text)
            ranks.push_back(char(w.rank[quint8(byte)]));
    }
    std::vector<quint32> byValue(values.size());
    for (quint32 i = 0; i < byValue.size(); ++i)
        byValue[i] = i;
    std::sort(byValue.begin(), byValue.end(), [&](quint32 a, quint32 b) {
        const auto [atA, lengthA] = rankSpan[a];
        const auto [atB, lengthB] = rankSpan[b];
        if (const int c =
                std::memcmp(ranks.data() + atA, ranks.data() + atB, qMin(lengthA, lengthB));
            c != 0)
            return c < 0;
        if (lengthA != lengthB)
            return lengthA < lengthB;
        return CardOrder::compareTexts(values[a], values[b]) < 0; // letter case alone
    });
    std::vector<quint32> placeOf(values.size() + 1, kNone);
    for (quint32 i = 0; i < byValue.size(); ++i)
        placeOf[byValue[i] + 1] = i + 1;

    struct Item
    {
        quint32 valuePlace;
        quint64 seq;
        quint32 place;
    };
    std::vector<Item> items;
    items.reserve(cards.size());
    for (size_t i = 0; i < cards.size(); ++i)
        items.push_back({placeOf[idOf[i]], cards[i]->seq(), quint32(i)});
    std::sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
        return a.valuePlace != b.valuePlace ? a.valuePlace < b.valuePlace : a.seq < b.seq;
    });
    std::vector<quint32> order(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].place;
    return order;
}

} // namespace

namespace CardOrder {

std::vector<quint32> order(const std::vector<CardRecord *> &cards, int field)
{
    return field >= 0 && !CardRecord::isNumeric(field) ? textOrder(cards, field)
                                                       : numberOrder(cards, field);
}

} // namespace CardOrder
