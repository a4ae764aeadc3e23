#pragma once

#include "data/CardTable.h"

#include <QRandomGenerator>
#include <QStringList>

// One random operation on a card table after another, as a user and the program's own walks
// would make them: posts, edits, deletes, filters, sorts, bulk walks with the views suppressed.
class RandomTableOps
{
public:
    explicit RandomTableOps(quint32 seed) : m_rng(seed) {}

    int depth = 0; // suppressions not yet resumed

    // Runs one operation; returns its number.
    int step(CardTable &t)
    {
        static const QStringList filters = {"", "FTYPE=1", "FTYPE=2"};
        static const QStringList sorts = {"", "FAM", "FTYPE"};
        const int op = int(m_rng.bounded(15));
        const QString fam = QString(QChar(u'A' + m_rng.bounded(6)));
        const int ftype = 1 + int(m_rng.bounded(2));
        const auto pickRow = [&] { t.setCurrentRow(int(m_rng.bounded(t.count()))); };
        switch (op) {
        case 0:
        case 1:
            t.append();
            fill(t, ftype, fam);
            t.post();
            break;
        case 2:
        case 3:
            if (!t.isEmpty()) {
                pickRow();
                if (op == 2) {
                    t.edit();
                    fill(t, ftype, fam);
                    t.post();
                } else {
                    t.deleteCurrent();
                }
            }
            break;
        case 4:
            t.setFilter(filters.at(int(m_rng.bounded(3))));
            break;
        case 5:
            t.setSortField(sorts.at(int(m_rng.bounded(3))));
            break;
        case 6:
            if (depth < 2) {
                t.suppressViewUpdates();
                ++depth;
            }
            break;
        case 7:
            if (depth > 0) {
                t.resumeViewUpdates();
                --depth;
            }
            break;
        case 8:
            for (t.first(); !t.atEnd(); t.next()) {
            }
            break;
        case 9:
        case 14: // an edit left pending when another row is chosen: it is posted first
            if (!t.isEmpty()) {
                pickRow();
                t.edit();
                t.field(CardFields::FAM).setAsString(fam);
                if (op == 9)
                    t.cancel();
                else
                    pickRow();
            }
            break;
        case 10:
            t.append();
            t.cancel();
            break;
        case 11: {
            const CardTable::Bookmark b = t.bookmark();
            t.setFilter(QString());
            if (b)
                t.gotoBookmark(b);
            break;
        }
        case 12:
            if (m_rng.bounded(4) == 0)
                t.empty();
            break;
        case 13:
            t.last();
            t.prior();
            t.prior();
            break;
        }
        return op;
    }

    void resumeAll(CardTable &t)
    {
        for (; depth > 0; --depth)
            t.resumeViewUpdates();
    }

private:
    static void fill(CardTable &t, int ftype, const QString &fam)
    {
        t.field(CardFields::FTYPE).setAsInteger(ftype);
        t.field(CardFields::PODKOM).setAsInteger(404);
        t.field(CardFields::CHANGEDATE).setAsFloat(42809.5);
        t.field(CardFields::FAM).setAsString(fam);
        for (int f : {CardFields::NAME, CardFields::OTCH, CardFields::FAM2, CardFields::NAME2,
                      CardFields::OTCH2, CardFields::SPEC, CardFields::LPU, CardFields::DOL,
                      CardFields::DECLCAT, CardFields::RESOL})
            t.field(f).setAsString(QStringLiteral("1"));
    }

    QRandomGenerator m_rng;
};
