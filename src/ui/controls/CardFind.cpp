#include "ui/controls/CardFind.h"

namespace CardFind {

bool matches(const QString &text, const QString &pattern, Match match, bool caseSensitive)
{
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    switch (match) {
    case Match::WholeField:
        return text.compare(pattern, cs) == 0;
    case Match::FieldStart:
        return text.startsWith(pattern, cs);
    case Match::Anywhere:
        break;
    }
    return text.contains(pattern, cs);
}

int nextRow(int rowCount, int current, Direction direction, const std::function<bool(int)> &test)
{
    if (rowCount <= 0)
        return -1;
    switch (direction) {
    case Direction::Down:
        for (int row = current + 1; row < rowCount; ++row) {
            if (test(row))
                return row;
        }
        return -1;
    case Direction::Up:
        for (int row = qMin(current, rowCount) - 1; row >= 0; --row) {
            if (test(row))
                return row;
        }
        return -1;
    case Direction::All:
        break;
    }
    const int start = current < 0 || current >= rowCount ? 0 : current + 1;
    for (int i = 0; i < rowCount; ++i) {
        const int row = (start + i) % rowCount;
        if (test(row))
            return row;
    }
    return -1;
}

} // namespace CardFind
