#pragma once

// Cards as clerks type them: Russian names with their "кому" forms, keys from the lists in use,
// dates of the last years, a workplace detail now and then with a line break in it.
#include "data/CardTable.h"
#include "data/ReferenceLists.h"

#include <QRandomGenerator>
#include <QStringList>

namespace RealisticCards {

struct Person
{
    QString fam, name, otch, fam2, name2, otch2;
};

inline Person person(QRandomGenerator &rng)
{
    static const QStringList stems = {
        "ИВАН",  "ПЕТР",     "СИДОР",   "КУЗНЕЦ",   "СМИРН",  "ПОПОВ", "ВАСИЛЬЕВ", "МОРОЗ",
        "ВОЛК",  "СОКОЛ",    "ЛЕБЕДЕВ", "КОЗЛ",     "НОВИК",  "ФЕДОР", "МИХАЙЛ",   "БЕЛ",
        "ТАРАС", "БЕЛОУС",   "ЖУК",     "ЁЛКИН",    "ЕГОР",   "ЗАЙЦ",  "ПАВЛ",     "СЕМЁН",
        "ГОЛУБ", "ВИНОГРАД", "БОГДАН",  "ВОРОБЬЁВ", "ФИЛИПП", "ДАНИЛ", "КОМАР",    "ОРЛ"};
    static const QStringList male = {"АЛЕКСАНДР", "СЕРГЕЙ", "АНДРЕЙ", "ДМИТРИЙ", "ИГОРЬ", "ОЛЕГ"};
    static const QStringList maleTo = {"АЛЕКСАНДРУ", "СЕРГЕЮ", "АНДРЕЮ",
                                       "ДМИТРИЮ",    "ИГОРЮ",  "ОЛЕГУ"};
    static const QStringList female = {"АННА", "ЕЛЕНА", "ОЛЬГА", "НАТАЛЬЯ", "ТАТЬЯНА", "ИРИНА"};
    static const QStringList femaleTo = {"АННЕ", "ЕЛЕНЕ", "ОЛЬГЕ", "НАТАЛЬЕ", "ТАТЬЯНЕ", "ИРИНЕ"};
    static const QStringList fathers = {"ИВАНОВ", "СЕРГЕЕВ", "ПЕТРОВ", "НИКОЛАЕВ", "ВИКТОРОВ"};
    const QString stem = stems.at(int(rng.bounded(stems.size())));
    const QString father = fathers.at(int(rng.bounded(fathers.size())));
    const int given = int(rng.bounded(6));
    if (rng.bounded(3) == 0) {
        const QString fam = stem + (stem.endsWith(u'В') ? "" : "ОВ");
        return {fam, male.at(given), father + "ИЧ", fam + "У", maleTo.at(given), father + "ИЧУ"};
    }
    const QString fam = stem + (stem.endsWith(u'В') ? "А" : "ОВА");
    return {
        fam,          female.at(given), father + "НА", fam.chopped(1) + "ОЙ", femaleTo.at(given),
        father + "НЕ"};
}

inline QString keyFrom(QRandomGenerator &rng, const ReferenceList &list, int skip = 0)
{
    return list.at(skip + int(rng.bounded(list.count() - skip))).key;
}

// Fills the pending card of the table.
inline void fill(CardTable &t, const ReferenceLists &lists, QRandomGenerator &rng)
{
    const bool doctor = rng.bounded(2) == 0;
    QString podkom;
    do
        podkom = keyFrom(rng, lists.subcommissions());
    while (lists.subcommissions().textOfKey(podkom).startsWith(u"(врачи)") != doctor);
    const Person p = person(rng);
    using namespace CardFields;
    t.field(FTYPE).setAsInteger(doctor ? 1 : 2);
    t.field(PODKOM).setAsInteger(podkom.toInt());
    t.field(CHANGEDATE).setAsFloat(45000.0 + rng.bounded(700) + rng.bounded(86400) / 86400.0);
    t.field(FAM).setAsString(p.fam);
    t.field(NAME).setAsString(p.name);
    t.field(OTCH).setAsString(p.otch);
    t.field(FAM2).setAsString(p.fam2);
    t.field(NAME2).setAsString(p.name2);
    t.field(OTCH2).setAsString(p.otch2);
    t.field(SPEC).setAsString(keyFrom(rng, doctor ? ReferenceLists::doctorSpecialties()
                                                  : ReferenceLists::midLevelSpecialties()));
    t.field(LPU).setAsString(keyFrom(rng, lists.workplaces()));
    if (rng.bounded(3) == 0)
        t.field(JOB).setAsString(QStringLiteral("отделение № %1\r\nкорпус %2")
                                     .arg(rng.bounded(30) + 1)
                                     .arg(rng.bounded(5) + 1));
    t.field(DOL).setAsString(keyFrom(rng, ReferenceLists::positions()));
    if (rng.bounded(2) == 0) {
        t.field(CAT).setAsString(keyFrom(rng, ReferenceLists::categories()));
        t.field(CATDATE).setAsFloat(42000 + rng.bounded(3000));
        t.field(CATNUM).setAsString(QStringLiteral("%1-к").arg(rng.bounded(900) + 100));
    }
    t.field(DECLCAT).setAsString(keyFrom(rng, ReferenceLists::categories()));
    t.field(RESOL).setAsString(keyFrom(rng, ReferenceLists::decisions()));
}

// A table of n such cards, in the order they were typed.
inline void fillTable(CardTable &t, const ReferenceLists &lists, int n, quint32 seed = 2017)
{
    QRandomGenerator rng(seed);
    ScopedViewUpdates quiet(t);
    for (int i = 0; i < n; ++i) {
        t.append();
        fill(t, lists, rng);
        t.post();
    }
}

} // namespace RealisticCards
