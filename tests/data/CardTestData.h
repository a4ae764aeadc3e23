#pragma once

#include "data/CardTable.h"

// Appends and posts a card with every required field set; the rest stay without value.
inline void addCard(CardTable &t, int ftype, int podkom, const QString &fam,
                    const QString &dol = QStringLiteral("24"))
{
    t.append();
    t.field(CardFields::FTYPE).setAsInteger(ftype);
    t.field(CardFields::PODKOM).setAsInteger(podkom);
    t.field(CardFields::CHANGEDATE).setAsFloat(42809.5);
    t.field(CardFields::FAM).setAsString(fam);
    for (int f : {CardFields::NAME, CardFields::OTCH, CardFields::FAM2, CardFields::NAME2,
                  CardFields::OTCH2})
        t.field(f).setAsString(QStringLiteral("X"));
    t.field(CardFields::SPEC).setAsString(QStringLiteral("2011.27"));
    t.field(CardFields::LPU).setAsString(QStringLiteral("600066"));
    t.field(CardFields::DOL).setAsString(dol);
    t.field(CardFields::DECLCAT).setAsString(QStringLiteral("1"));
    t.field(CardFields::RESOL).setAsString(QStringLiteral("1"));
    t.post();
}

// The surnames of the visible cards, in the table's order.
inline QStringList surnames(const CardTable &t)
{
    QStringList out;
    for (int row = 0; row < t.count(); ++row)
        out << t.text(row, CardFields::FAM);
    return out;
}
