#include "ui/main/CardColumns.h"

#include "data/CardFields.h"

const QList<CardGrid::Column> &cardListColumns()
{
    static const QList<CardGrid::Column> columns = {
        {CardFields::C_FTYPE, 169},  {CardFields::FAM, 187},    {CardFields::NAME, 92},
        {CardFields::OTCH, 127},     {CardFields::C_PODKOM, 0}, {CardFields::LPU, 78},
        {CardFields::CHANGEDATE, 0}, {CardFields::JOB, 0},      {CardFields::DOL, 0},
        {CardFields::CAT, 0},        {CardFields::CATDATE, 0},  {CardFields::CATNUM, 0},
        {CardFields::DECLCAT, 0},    {CardFields::RESOL, 0},    {CardFields::SPEC, 0},
        {CardFields::FAM2, 0},       {CardFields::NAME2, 0},    {CardFields::OTCH2, 0},
    };
    return columns;
}
