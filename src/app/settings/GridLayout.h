#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <optional>

class SettingsStore;

// The card list's stored column layout, key "TfmMainDBGridEh1": the key's default value is
// "row height,row lines"; each column is "DBGridEh1.<field>" = "position,width,sort marker,
// visible,sort index,drop-down rows,drop-down width,0,1". The grid fills this from its columns
// and applies what the restore returns.

struct GridColumnLayout
{
    QString fieldName;
    int width = 64;
    int sortMarker = 0; // the grid's own numbering of its title marker
    bool visible = true;
    int sortIndex = 0;
    int dropDownRows = 7;
    int dropDownWidth = 0;
};

struct GridLayoutState
{
    QList<GridColumnLayout> columns; // in display order
    int rowHeight = 0;
    int rowLines = 0;
};

// A stored value of the grid-layout key, nullopt when missing; the empty name is the default
// value. Throws QorError on a failure.
using GridValueReader = std::function<std::optional<QString>(const QString &valueName)>;

// The restore. A failure propagates before anything is changed in grid.
void restoreGridLayout(GridLayoutState &grid, const GridValueReader &read);
void restoreGridLayout(GridLayoutState &grid, SettingsStore &store);

// The values in the order they are written: the columns in display order, then the default
// value under the empty name.
QList<QPair<QString, QString>> gridLayoutValues(const GridLayoutState &grid);
// Deletes the key with everything in it, then writes the values; in one change of the file.
void saveGridLayout(SettingsStore &store, const GridLayoutState &grid);

// "DBGridEh1." and the field name.
QString gridColumnValueName(const QString &fieldName);
