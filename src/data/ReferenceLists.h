#pragma once

#include "data/ReferenceList.h"

// The two program variants; the installer's choice, stored as "ObrSoc".
enum class Variant { Normal, EducationSocial };

// "+" exactly selects the education and social-sphere variant; anything else the normal one.
Variant variantFromObrSoc(const QString &value);

// Every list the system carries. The fixed lists are compiled into the program and never change;
// an instance holds the variant's choice of subcommission and workplace lists.
class ReferenceLists
{
public:
    explicit ReferenceLists(Variant variant = Variant::Normal);

    Variant variant() const { return m_variant; }

    // The lists in use for the variant.
    const ReferenceList &subcommissions() const;
    const ReferenceList &workplaces() const;
    const ReferenceList &subcommissionFilter() const { return m_subcommissionFilter; }

    // The lists shared by both variants.
    static const ReferenceList &doctorSpecialties();
    static const ReferenceList &midLevelSpecialties();
    static const ReferenceList &positions();
    static const ReferenceList &categories();
    static const ReferenceList &decisions();
    static const ReferenceList &cardTypeFilter();

    // The lists of each variant, whichever is in use.
    static const ReferenceList &normalSubcommissions();
    static const ReferenceList &educationSubcommissions();
    static const ReferenceList &normalWorkplaces();
    static const ReferenceList &educationWorkplaces();

    // The doctors' specialty list for card type 1, the mid-level list for any other type,
    // an empty type included.
    static const ReferenceList &specialtiesForCardType(bool hasType, int cardType);

    // "Все подкомиссии" with key "0", then every entry of the given list in order.
    static ReferenceList buildSubcommissionFilter(const ReferenceList &subcommissions);

private:
    Variant m_variant;
    ReferenceList m_subcommissionFilter;
};
