#pragma once

#include <QString>

#include <functional>

// What the find dialog asks for, and how a cell matches it: plain functions over text.
namespace CardFind {

enum class Match { Anywhere, WholeField, FieldStart };
enum class Direction { Up, Down, All };

struct Request
{
    QString pattern;
    int column = -1; // the grid column (a field of the card), -1 for every column
    Match match = Match::Anywhere;
    Direction direction = Direction::All;
    bool caseSensitive = false;
    bool asShown = true; // compare with the texts as the list shows them
};

bool matches(const QString &text, const QString &pattern, Match match, bool caseSensitive);

// The first row after current, in the direction, for which test holds; -1 when none does.
// Up and Down stop at the first or last row; All goes on from the other end and comes back to
// current last, so that a lone match is found again.
int nextRow(int rowCount, int current, Direction direction, const std::function<bool(int)> &test);

} // namespace CardFind
