#include "data/TDM1.h"

#include "platform/Clock.h"
#include "platform/QorError.h"

#include <cmath>

TDM1 *DM1 = nullptr;

TDM1::TDM1(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DM1"));
    m_cdsQor.setObjectName(QStringLiteral("cdsQor"));
    m_cdsQor.setEventHandler(CardTable::Handler::BeforePost,
                             [this](CardTable &t) { cdsQorBeforePost(t); });
    const auto save = [this](CardTable &t) { cdsQorAfterPost(t); };
    m_cdsQor.setEventHandler(CardTable::Handler::AfterPost, save);
    m_cdsQor.setEventHandler(CardTable::Handler::AfterDelete, save);
    m_cdsQor.setCalcHandler(
        [this](const CardRecord &card, CalculatedValues &out) { cdsQorCalcFields(card, out); });
}

TDM1::~TDM1() = default;

void TDM1::setVariant(Variant variant)
{
    m_lists = ReferenceLists(variant);
}

void TDM1::setSubcommissionLookup(const ReferenceList *list)
{
    m_subcommissionTexts.clear();
    for (int entry = 0; list && entry < list->count(); ++entry) {
        bool isNumber = false;
        const qint64 number = list->at(entry).key.toLongLong(&isNumber);
        if (!isNumber || m_subcommissionTexts.contains(number))
            continue;
        // The entry a card's number finds, as the key is looked up everywhere.
        const int i = list->indexOfKey(QString::number(number));
        if (i < 0)
            continue;
        // Cut to the field's size, then without trailing blanks: the rule of every text field.
        QString text = list->at(i).text.left(50);
        while (text.endsWith(u' '))
            text.chop(1);
        m_subcommissionTexts.insert(number, text);
    }
    m_cdsQor.refreshCalculated();
}

void TDM1::cdsQorBeforePost(CardTable &table)
{
    const CardField catDate = table.field(CardFields::CATDATE);
    if (!catDate.hasValue())
        return;
    const double day = catDate.asDayNumber();
    const int today = Clock::todayDayNumber();
    if (day < today - kCategoryDateSpanDays || day > today)
        throw QorError(QStringLiteral("Неправильная дата присвоения категории!"));
}

void TDM1::cdsQorAfterPost(CardTable &)
{
    if (!m_save)
        return;
    m_unsaved = true; // until the save has gone through
    m_save();
    m_unsaved = false;
}

void TDM1::cdsQorCalcFields(const CardRecord &card, CalculatedValues &out) const
{
    const bool doctor = card.hasValue(CardFields::FTYPE) && card.number(CardFields::FTYPE) == 1;
    out.set(CardFields::C_FTYPE,
            doctor ? QStringLiteral("Врач") : QStringLiteral("Средний медработник"));

    if (!card.hasValue(CardFields::PODKOM))
        return;
    const auto text = m_subcommissionTexts.constFind(qint64(card.number(CardFields::PODKOM)));
    if (text != m_subcommissionTexts.cend())
        out.set(CardFields::C_PODKOM, *text);
}
