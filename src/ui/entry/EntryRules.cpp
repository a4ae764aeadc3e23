#include "ui/entry/EntryRules.h"

#include "data/CardTable.h"
#include "data/DefaultsList.h"
#include "data/ReferenceList.h"

#include <QLocale>

namespace EntryRules {

namespace {

QString defaultName(int field)
{
    return u'@' + CardFields::def(field).nameText();
}

// As blanks and control characters are trimmed from a value before it counts as empty.
bool isBlank(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > u' ')
            return false;
    }
    return true;
}

} // namespace

QString cardTitle(CardTable &table)
{
    return table.field(CardFields::FAM).asString() + u' ' +
           table.field(CardFields::NAME).asString() + u' ' +
           table.field(CardFields::OTCH).asString();
}

QString newCardTitle()
{
    return QStringLiteral("Новая карточка");
}

int cardTypeOfSubcommission(const QString &text)
{
    return text.startsWith(QStringLiteral("(врачи)")) ? 1 : 2;
}

bool isDoctor(CardTable &table)
{
    const CardField ftype = table.field(CardFields::FTYPE);
    return ftype.hasValue() && ftype.asInteger() == 1;
}

QString capitalizeFirst(const QString &text)
{
    if (text.isEmpty())
        return text;
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const qsizetype first = text.at(0).isHighSurrogate() && text.size() > 1 ? 2 : 1;
    return russian.toUpper(text.left(first)) + text.mid(first);
}

std::optional<Refusal> obsoleteEntry(const QString &subcommissionText, const QString &specialtyText)
{
    if (ReferenceList::isObsoleteText(subcommissionText))
        return Refusal{CardFields::PODKOM,
                       QStringLiteral("Выберите подкомиссию из нового перечня (без \"-\" в "
                                      "начале)!")};
    if (ReferenceList::isObsoleteText(specialtyText))
        return Refusal{CardFields::SPEC,
                       QStringLiteral("Выберите специальность из нового перечня (без \"-\" в "
                                      "начале)!")};
    return std::nullopt;
}

void setDefault(CardTable &table, const DefaultsList &defaults, int field)
{
    const CardField f = table.field(field);
    const QString remembered = defaults.value(defaultName(field));
    if (!isBlank(f.asString()) || remembered.isEmpty())
        return;
    if (f.type() == FieldType::Integer) {
        bool ok = false;
        const int value = remembered.trimmed().toInt(&ok);
        if (ok) // a damaged remembered number is passed over rather than blocking the new card
            f.setAsInteger(value);
        return;
    }
    f.setAsString(remembered);
}

void setWorkplaceDefault(CardTable &table, const DefaultsList &defaults,
                         const ReferenceList &workplaces)
{
    if (workplaces.containsKey(defaults.value(defaultName(CardFields::LPU))))
        setDefault(table, defaults, CardFields::LPU);
}

void rememberCardType(CardTable &table, DefaultsList &defaults)
{
    rememberField(table, defaults, CardFields::FTYPE);
    rememberField(table, defaults, CardFields::PODKOM);
}

void rememberField(CardTable &table, DefaultsList &defaults, int field)
{
    defaults.setValue(defaultName(field), table.field(field).asString());
}

QString workplaceRemembered(const QString &shownText)
{
    return QStringLiteral("Учреждение \"%1\" запомнено как место работы по умолчанию.")
        .arg(shownText);
}

QString detailRemembered(const QString &shownText)
{
    return QStringLiteral("\"%1\" запомнено как уточнение места работы по умолчанию.")
        .arg(shownText);
}

QString closeQuestion(bool newCard)
{
    return newCard ? QStringLiteral("Сохранить эту карточку?")
                   : QStringLiteral("Карточка была изменена. Сохранить изменения?");
}

} // namespace EntryRules
