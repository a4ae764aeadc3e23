#pragma once

#include "data/CardRecord.h"

#include <QByteArrayView>
#include <QStringView>
#include <vector>

// The ascending order of cards by one stored field: cards without a value first, numbers
// numerically, dates chronologically, texts alphabetically with letter case distinguished;
// cards that compare equal keep their insertion order.
namespace CardOrder {

// <0, 0, >0 as a's value sorts before, with, or after b's.
int compareValues(const CardRecord &a, const CardRecord &b, int field);

// The full order: the field's value, then the insertion sequence. field -1: insertion order.
inline bool less(const CardRecord &a, const CardRecord &b, int field)
{
    if (field >= 0) {
        const int c = compareValues(a, b, field);
        if (c != 0)
            return c < 0;
    }
    return a.seq() < b.seq();
}

// The full order of cards, as the places in cards of the first card, the second and so on.
// Keys are gathered first so that the sort runs over contiguous memory rather than chasing
// every card.
std::vector<quint32> order(const std::vector<CardRecord *> &cards, int field);

// Alphabetical text order: letters compare as in the Russian alphabet (Ё after Е), digits
// before letters; when two texts differ only in letter case, lower case comes first.
int compareTexts(QStringView a, QStringView b);
// The same over Windows-1251 bytes.
int compareTexts(QByteArrayView a, QByteArrayView b);

} // namespace CardOrder
