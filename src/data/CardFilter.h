#pragma once

#include "data/CardRecord.h"

#include <QString>
#include <vector>

// The table's filter expression: empty, or terms "FTYPE=n" / "PODKOM=n" joined by " and ".
class CardFilter
{
public:
    // Throws QorError with a clear message for any other expression.
    static CardFilter parse(const QString &expression);

    // The values a filter tests, kept beside each card in the table's order: a filter over a
    // large meeting then reads one array instead of every card's memory.
    struct Keys
    {
        qint64 ftype = 0;
        qint64 podkom = 0;
        bool hasFtype = false;
        bool hasPodkom = false;
    };
    static Keys keysOf(const CardRecord &card);

    bool isEmpty() const { return m_terms.empty(); }
    bool matches(const CardRecord &card) const { return matches(keysOf(card)); }
    bool matches(const Keys &keys) const;

private:
    struct Term
    {
        int field;
        qint64 value;
    };
    std::vector<Term> m_terms;
};
