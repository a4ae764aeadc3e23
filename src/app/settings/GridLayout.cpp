#include "app/settings/GridLayout.h"

#include "app/settings/NumberList.h"
#include "app/settings/SettingsStore.h"

namespace {

const QString kColumnPrefix = QStringLiteral("DBGridEh1.");

// Moves, for p = 0, 1, 2, ..., the first column whose stored position is p to p.
void reorder(QList<GridColumnLayout> &columns, QList<int> &positions)
{
    for (int p = 0; p < columns.size(); ++p) {
        const qsizetype from = positions.indexOf(p);
        if (from < 0 || from == p)
            continue;
        columns.move(from, p);
        positions.move(from, p);
    }
}

} // namespace

QString gridColumnValueName(const QString &fieldName)
{
    return kColumnPrefix + fieldName;
}

void restoreGridLayout(GridLayoutState &grid, const GridValueReader &read)
{
    GridLayoutState restored = grid;
    QList<int> positions; // stored, or the position before the restore
    for (int i = 0; i < restored.columns.size(); ++i) {
        GridColumnLayout &column = restored.columns[i];
        const std::optional<QString> text = read(gridColumnValueName(column.fieldName));
        if (!text || text->isEmpty()) {
            positions.append(i);
            column.sortIndex = 0;
            continue;
        }
        const auto n = NumberList::parse(*text);
        positions.append(NumberList::at(n, 0, i));
        column.width = NumberList::at(n, 1, column.width);
        column.sortMarker = NumberList::at(n, 2, column.sortMarker);
        column.visible = NumberList::at(n, 3, column.visible ? 1 : 0) != 0;
        column.sortIndex = NumberList::at(n, 4, 0);
        column.dropDownRows = NumberList::at(n, 5, column.dropDownRows);
        column.dropDownWidth = NumberList::at(n, 6, column.dropDownWidth);
    }
    reorder(restored.columns, positions);
    const std::optional<QString> rows = read(QString());
    const auto n = NumberList::parse(rows.value_or(QString()));
    restored.rowHeight = NumberList::at(n, 0, 0);
    restored.rowLines = NumberList::at(n, 1, 0);
    grid = restored;
}

void restoreGridLayout(GridLayoutState &grid, SettingsStore &store)
{
    restoreGridLayout(grid, [&store](const QString &name) {
        return store.readValue(SettingsStore::gridLayoutKeyPath(), name);
    });
}

QList<QPair<QString, QString>> gridLayoutValues(const GridLayoutState &grid)
{
    QList<QPair<QString, QString>> values;
    for (int i = 0; i < grid.columns.size(); ++i) {
        const GridColumnLayout &c = grid.columns.at(i);
        // The two last numbers are the grid's own and never read back.
        values.append({gridColumnValueName(c.fieldName),
                       NumberList::format({i, c.width, c.sortMarker, c.visible ? 1 : 0, c.sortIndex,
                                           c.dropDownRows, c.dropDownWidth, 0, 1})});
    }
    values.append({QString(), NumberList::format({grid.rowHeight, grid.rowLines})});
    return values;
}

void saveGridLayout(SettingsStore &store, const GridLayoutState &grid)
{
    store.replaceKey(SettingsStore::gridLayoutKeyPath(), gridLayoutValues(grid));
}
