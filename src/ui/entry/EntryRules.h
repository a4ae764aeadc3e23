#pragma once

#include <QString>
#include <optional>

class CardTable;
class DefaultsList;
class ReferenceList;

// The decisions of the entry form that need no widget: the card's title, the obsolete-entry
// tests of the card check, the remembered defaults, the card type a subcommission stands for,
// and the texts the form shows.
namespace EntryRules {

// The title of an existing card: surname, first name and patronymic joined by single blanks;
// an empty part keeps its blank.
QString cardTitle(CardTable &table);
QString newCardTitle();

// 1 (doctor) when the subcommission text begins with "(врачи)", letter case significant;
// 2 otherwise, also for the empty text.
int cardTypeOfSubcommission(const QString &text);
bool isDoctor(CardTable &table);

// The first character in upper case (Russian rules), the rest as it is.
QString capitalizeFirst(const QString &text);

// The first two steps of the card check, on the texts the subcommission box and the specialty
// box of the card type show: which field's box is refused, and why.
struct Refusal
{
    int field;
    QString message;
};
std::optional<Refusal> obsoleteEntry(const QString &subcommissionText,
                                     const QString &specialtyText);

// Applies the remembered default of a field ("@" and its name) to the card being entered when
// the field is empty (blanks and control characters do not count) and something is remembered.
// Integer fields take the remembered text as a decimal number; one that is not is not applied.
void setDefault(CardTable &table, const DefaultsList &defaults, int field);
// The workplace default applies only when the remembered key is in the workplace list shown.
void setWorkplaceDefault(CardTable &table, const DefaultsList &defaults,
                         const ReferenceList &workplaces);

// After a new card was stored: its card type and subcommission become the defaults of the next.
void rememberCardType(CardTable &table, DefaultsList &defaults);
// The remember buttons: the field's value becomes its default (the empty value forgets it).
void rememberField(CardTable &table, DefaultsList &defaults, int field);

QString workplaceRemembered(const QString &shownText);
QString detailRemembered(const QString &shownText);

// The close question for a changed card.
QString closeQuestion(bool newCard);

} // namespace EntryRules
