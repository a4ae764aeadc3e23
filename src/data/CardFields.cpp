#include "data/CardFields.h"

#include <array>

namespace {

using FT = FieldType;

const std::array<FieldDef, CardFields::Count> kFields = {{
    {"FTYPE", FT::Integer, 0, true, "Врач или средний медработник", false},
    {"PODKOM", FT::Integer, 0, true, "Подкомиссия", false},
    {"CHANGEDATE", FT::DateTime, 0, true, "Дата ввода", false},
    {"FAM", FT::Text, 40, true, "Фамилия", false},
    {"NAME", FT::Text, 40, true, "Имя", false},
    {"OTCH", FT::Text, 40, true, "Отчество", false},
    {"FAM2", FT::Text, 40, true, "Фамилия  (кому)", false},
    {"NAME2", FT::Text, 40, true, "Имя  (кому)", false},
    {"OTCH2", FT::Text, 40, true, "Отчество  (кому)", false},
    {"SPEC", FT::Text, 9, true, "Специальность", false},
    {"LPU", FT::Text, 6, true, "Место работы", false},
    {"JOB", FT::Text, 50, false, "Уточнение места работы", false},
    {"DOL", FT::Text, 3, true, "Занимаемая должность", false},
    {"CAT", FT::Text, 3, false, "Имеющаяся категория", false},
    {"CATDATE", FT::Date, 0, false, "Дата присвоения категории", false},
    {"CATNUM", FT::Text, 20, false, "№ приказа имеющ. категории", false},
    {"DECLCAT", FT::Text, 3, true, "Заявленная кв. категория", false},
    {"RESOL", FT::Text, 3, true, "Решение аттестационной комиссии", false},
    {"C_FTYPE", FT::Text, 50, false, "Врач или средний медработник", true},
    {"C_PODKOM", FT::Text, 50, false, "Подкомиссия", true},
}};

} // namespace

namespace CardFields {

const FieldDef &def(int index)
{
    Q_ASSERT(index >= 0 && index < Count);
    return kFields[size_t(index)];
}

int indexOf(QStringView name)
{
    for (int i = 0; i < Count; ++i) {
        if (name.compare(QLatin1String(kFields[size_t(i)].name), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace CardFields
