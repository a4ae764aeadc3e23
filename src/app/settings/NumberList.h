#pragma once

#include <QList>
#include <QString>

#include <optional>

// The number lists of the stored window state and list layout, such as "10,20,810,620".
namespace NumberList {

// The words of text, separated by commas or spaces (a run of separators counts as one), each
// as a number, or nullopt when the word is not a decimal whole number.
QList<std::optional<int>> parse(const QString &text);

// The index-th number of a parsed list, or fallback when it is missing or not a number.
int at(const QList<std::optional<int>> &numbers, int index, int fallback);

// The largest magnitude a stored number may have. The settings file is outside input: a
// position or size beyond any screen is no number at all, so that the arithmetic on it can
// never overflow.
constexpr int kLimit = 1000000;

// A decimal whole number with an optional sign and at most kLimit in magnitude, or nullopt.
std::optional<int> number(const QString &text);
// The same, or fallback.
int toInt(const QString &text, int fallback);

// "%d,%d,...".
QString format(const QList<int> &numbers);

} // namespace NumberList
