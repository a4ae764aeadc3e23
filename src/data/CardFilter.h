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

    bool isEmpty() const { return m_terms.empty(); }
    bool matches(const CardRecord &card) const;

private:
    struct Term
    {
        int field;
        qint64 value;
    };
    std::vector<Term> m_terms;
};
