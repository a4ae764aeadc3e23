#pragma once

#include "app/settings/GridLayout.h"

#include <QHash>
#include <QList>
#include <QTableView>

#include <functional>

class CardGridHeader;
class CardTableModel;

// The card list: a read-only grid over the cards of a CardTableModel. Its columns are chosen
// fields of the card; every title is a button (titleClicked) and shows the sort marker where the
// owner's rule says so. Columns can be resized, fitted to their content and moved;
// a cut text shows whole in a tooltip; Ctrl+A and Ctrl+C copy the selected rows, with the titles,
// as tab-separated text. Row heights are uniform: the grid asks the model for the visible rows
// only, however many cards there are.
class CardGrid : public QTableView
{
    Q_OBJECT
public:
    struct Column
    {
        int field;
        int width; // 0: derived from the field's size
    };

    explicit CardGrid(QWidget *parent = nullptr);

    void setCardModel(CardTableModel *model);
    CardTableModel *cardModel() const { return m_model; }

    // The grid's columns in their initial order; other fields of the card are never shown.
    void setColumns(const QList<Column> &columns);
    // The fields of the shown columns, in display order.
    QList<int> visibleFields() const;
    // The field of the current column, or of the first shown column.
    int currentField() const;

    // The column layout as the settings store keeps it, and back.
    GridLayoutState layoutState() const;
    void applyLayout(const GridLayoutState &state);

    // The selected rows (or the current one), with the titles, as tab-separated lines.
    QString selectionText() const;
    void copySelection() const;

    // Asked for every title when it is drawn: whether it carries the sort marker.
    void setSortMarkerRule(std::function<bool(int field)> rule);
    bool titleHasSortMarker(int field) const;
    void updateTitles();

    static int defaultWidth(int field, const QFontMetrics &metrics);

    // The current row as the user sees it, in screen coordinates; empty when it is not shown.
    QRect currentRowOnScreen() const;
    // The selected rows, in order; the current row when none is selected.
    QList<int> selectedRows() const;

    // Keeps the user's place over a change of order or filter: the current column and the
    // horizontal scroll are what they were once the scope ends (the table keeps the card).
    class PlaceKeeper
    {
    public:
        explicit PlaceKeeper(CardGrid *grid);
        ~PlaceKeeper();
        PlaceKeeper(const PlaceKeeper &) = delete;
        PlaceKeeper &operator=(const PlaceKeeper &) = delete;

    private:
        CardGrid *m_grid;
        int m_column;
        int m_scroll;
    };

signals:
    void titleClicked(int field);
    // Enter, Insert or Delete, whatever Shift, Ctrl or Alt is held: consumed before the grid's
    // own key handling.
    void commandKey(int key);
    // A double click on a data cell.
    void dataRowDoubleClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    int textRoom(int width) const;
    int titleWidth(int field) const;
    bool isGridColumn(int field) const;

    CardTableModel *m_model = nullptr;
    CardGridHeader *m_header;
    std::function<bool(int)> m_markerRule;
    QList<Column> m_columns;
    // What the layout store keeps of a column beyond place, width and visibility, by field:
    // written back as it came.
    QHash<int, GridColumnLayout> m_kept;
    QHash<int, int> m_hiddenWidths; // a hidden column's width, for when it is shown again
    int m_rowHeight = 0;            // 0: from the font
    int m_rowLines = 0;
};
