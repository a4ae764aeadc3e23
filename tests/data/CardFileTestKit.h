#pragma once

// Shared by the card file tests and the crash-test child: building cards, comparing tables and
// handling bytes on disk.
#include "data/CardTable.h"
#include "data/CardTextCodec.h"
#include "platform/Cp1251.h"

#include <QFile>
#include <QList>
#include <QPair>

namespace CardFileTestKit {

using Values = QList<QPair<int, QString>>;

// The worked example: a doctor's card of the normal variant entered on 15.03.2017 at 14:30.
inline Values exampleCard()
{
    using namespace CardFields;
    return {{FTYPE, "1"},         {PODKOM, "404"},    {CHANGEDATE, "42809.604166666667"},
            {FAM, "ОБРАЗЦОВА"},   {NAME, "АННА"},     {OTCH, "СЕРГЕЕВНА"},
            {FAM2, "ОБРАЗЦОВОЙ"}, {NAME2, "АННЕ"},    {OTCH2, "СЕРГЕЕВНЕ"},
            {SPEC, "2011.27"},    {LPU, "600066"},    {DOL, "24"},
            {CAT, "1"},           {CATDATE, "41011"}, {CATNUM, "245-к"},
            {DECLCAT, "ВЫС"},     {RESOL, "1"}};
}

// A card with every required field, valid for the list tests; values override or add fields.
inline Values validCard(const QString &fam, const Values &changes = {})
{
    Values card = exampleCard();
    for (auto &v : card) {
        if (v.first == CardFields::FAM)
            v.second = fam;
    }
    for (const auto &change : changes) {
        bool replaced = false;
        for (auto &v : card) {
            if (v.first == change.first) {
                v.second = change.second;
                replaced = true;
            }
        }
        if (!replaced)
            card.append(change);
    }
    return card;
}

// Sets the fields of the pending card; numbers are given in C notation.
inline void assign(CardTable &t, const Values &values)
{
    for (const auto &v : values) {
        const CardField f = t.field(v.first);
        switch (f.type()) {
        case FieldType::Integer:
            f.setAsInteger(v.second.toLongLong());
            break;
        case FieldType::Date:
        case FieldType::DateTime:
            f.setAsDayNumber(v.second.toDouble());
            break;
        case FieldType::Text:
            f.setAsString(v.second);
            break;
        }
    }
}

inline void addCard(CardTable &t, const Values &values)
{
    t.append();
    assign(t, values);
    t.post();
}

// The program's own table: tst_cp1251 holds it to the system's codec where there is one.
inline QByteArray cp1251(const QString &text)
{
    return Cp1251::encode(text);
}

// Lines joined by CR LF, each ending in one, as Windows-1251.
inline QByteArray crlfLines(const QStringList &lines)
{
    return cp1251(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// One visible card as text, a field per line: what must survive a write and a read. Day numbers
// compare as the file holds them.
inline QString describe(const CardTable &t, int row)
{
    const CardRecord *card = t.recordAt(row);
    QString out;
    for (int field = 0; field < CardFields::StoredCount; ++field) {
        out += QLatin1String(CardFields::def(field).name);
        if (!card->hasValue(field)) {
            out += QLatin1String(" -\n");
            continue;
        }
        out += u'=';
        const FieldType type = CardFields::def(field).type;
        if (type == FieldType::Text)
            out += card->text(field);
        else if (type == FieldType::Integer)
            out += QString::number(qint64(card->number(field)));
        else
            out += CardTextCodec::formatDayNumber(card->number(field));
        out += u'\n';
    }
    return out;
}

inline QStringList describeAll(const CardTable &t)
{
    QStringList out;
    for (int row = 0; row < t.count(); ++row)
        out << describe(t, row);
    return out;
}

// The cards of one version of the crash test's meeting: how many, and what they hold, depends on
// the version, so that a file holding anything but one whole version is told apart.
inline void fillVersion(CardTable &t, int version)
{
    t.empty();
    const int cards = 1 + (version * 37) % 40;
    for (int i = 0; i < cards; ++i) {
        addCard(t, validCard(QStringLiteral("ВЕРСИЯ%1КАРТОЧКА%2").arg(version).arg(i),
                             {{CardFields::JOB, QStringLiteral("версия %1").arg(version)},
                              {CardFields::FTYPE, QString::number(1 + (version + i) % 2)},
                              {CardFields::CHANGEDATE, QString::number(42809.5 + i / 1000.0)}}));
    }
}

// The version a loaded table holds, or -1.
inline int versionOf(const CardTable &t)
{
    if (t.count() == 0)
        return -1;
    const QString job = t.text(0, CardFields::JOB);
    bool ok = false;
    const int version = job.mid(job.indexOf(u' ') + 1).toInt(&ok);
    return ok ? version : -1;
}

} // namespace CardFileTestKit
