#pragma once

#include <QString>
#include <QStringView>

// The fields of a card, in the table's field order: 18 stored, then 2 calculated ones.
// This order is the order of lines in a card file and of the required-value test.
enum class FieldType { Integer, Text, Date, DateTime };

struct FieldDef
{
    const char *name;
    FieldType type;
    int size; // characters, for text fields; 0 otherwise
    bool required;
    const char *label; // display label, UTF-8
    bool calculated;

    QString nameText() const { return QString::fromLatin1(name); }
    QString labelText() const { return QString::fromUtf8(label); }
};

namespace CardFields {

enum Index : int {
    FTYPE,
    PODKOM,
    CHANGEDATE,
    FAM,
    NAME,
    OTCH,
    FAM2,
    NAME2,
    OTCH2,
    SPEC,
    LPU,
    JOB,
    DOL,
    CAT,
    CATDATE,
    CATNUM,
    DECLCAT,
    RESOL,
    C_FTYPE,
    C_PODKOM,
};

constexpr int StoredCount = 18;
constexpr int Count = 20;

const FieldDef &def(int index);

// Position of the field of that name, letter case ignored; -1 when there is none.
int indexOf(QStringView name);

inline bool isCalculated(int index)
{
    return index >= StoredCount;
}

} // namespace CardFields
