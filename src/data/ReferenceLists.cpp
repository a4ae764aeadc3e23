#include "data/ReferenceLists.h"

#include "data/ReferenceListData.h"

Variant variantFromObrSoc(const QString &value)
{
    return value == QLatin1String("+") ? Variant::EducationSocial : Variant::Normal;
}

ReferenceLists::ReferenceLists(Variant variant)
    : m_variant(variant), m_subcommissionFilter(buildSubcommissionFilter(subcommissions()))
{}

const ReferenceList &ReferenceLists::subcommissions() const
{
    return m_variant == Variant::EducationSocial ? educationSubcommissions()
                                                 : normalSubcommissions();
}

const ReferenceList &ReferenceLists::workplaces() const
{
    return m_variant == Variant::EducationSocial ? educationWorkplaces() : normalWorkplaces();
}

// Each list is read from the program's resources the first time it is asked for and then kept
// for the life of the process.
const ReferenceList &ReferenceLists::doctorSpecialties()
{
    static const ReferenceList list = ReferenceListData::load(QStringLiteral("doctorSpecialties"));
    return list;
}

const ReferenceList &ReferenceLists::midLevelSpecialties()
{
    static const ReferenceList list =
        ReferenceListData::load(QStringLiteral("midLevelSpecialties"));
    return list;
}

const ReferenceList &ReferenceLists::positions()
{
    static const ReferenceList list = ReferenceListData::load(QStringLiteral("positions"));
    return list;
}

const ReferenceList &ReferenceLists::categories()
{
    static const ReferenceList list = ReferenceListData::load(QStringLiteral("categories"));
    return list;
}

const ReferenceList &ReferenceLists::decisions()
{
    static const ReferenceList list = ReferenceListData::load(QStringLiteral("decisions"));
    return list;
}

const ReferenceList &ReferenceLists::cardTypeFilter()
{
    static const ReferenceList list = ReferenceListData::load(QStringLiteral("cardTypeFilter"));
    return list;
}

const ReferenceList &ReferenceLists::normalSubcommissions()
{
    static const ReferenceList list = ReferenceListData::load(QStringLiteral("subcommissions"));
    return list;
}

const ReferenceList &ReferenceLists::educationSubcommissions()
{
    static const ReferenceList list =
        ReferenceListData::load(QStringLiteral("educationSubcommissions"));
    return list;
}

const ReferenceList &ReferenceLists::normalWorkplaces()
{
    static const ReferenceList list = ReferenceListData::load(QStringLiteral("workplaces"));
    return list;
}

const ReferenceList &ReferenceLists::educationWorkplaces()
{
    static const ReferenceList list =
        ReferenceListData::load(QStringLiteral("educationWorkplaces"));
    return list;
}

const ReferenceList &ReferenceLists::specialtiesForCardType(bool hasType, int cardType)
{
    return hasType && cardType == 1 ? doctorSpecialties() : midLevelSpecialties();
}

ReferenceList ReferenceLists::buildSubcommissionFilter(const ReferenceList &subcommissions)
{
    QList<ReferenceEntry> entries;
    entries.reserve(subcommissions.count() + 1);
    entries.append(ReferenceEntry{QStringLiteral("Все подкомиссии"), QStringLiteral("0")});
    entries.append(subcommissions.entries());
    return ReferenceList(std::move(entries));
}
