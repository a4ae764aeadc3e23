#include "ui/controls/CardGrid.h"

#include "data/CardFields.h"
#include "data/CardTable.h"
#include "data/CardTableModel.h"
#include "ui/controls/CardGridHeader.h"
#include "ui/controls/CurrentCellDelegate.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

CardGrid::CardGrid(QWidget *parent) : QTableView(parent), m_header(new CardGridHeader(this))
{
    setHorizontalHeader(m_header);
    m_header->setSortMarkerRule([this](int field) { return titleHasSortMarker(field); });
    connect(m_header, &QHeaderView::sectionClicked, this, &CardGrid::titleClicked);
    connect(this, &QAbstractItemView::doubleClicked, this, &CardGrid::dataRowDoubleClicked);

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setShowGrid(true);
    setCornerButtonEnabled(false);
    // Uniform rows: the grid never measures a row, so it asks the model for the visible ones only.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // The current row stays highlighted while another control has the focus.
    QPalette p = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
    setPalette(p);
    setItemDelegate(new CurrentCellDelegate(this));
}

void CardGrid::setCardModel(CardTableModel *model)
{
    m_model = model;
    setModel(model);
    setColumns(m_columns);
}

void CardGrid::setColumns(const QList<Column> &columns)
{
    m_columns = columns;
    if (!m_model)
        return;
    // The grid's columns take the first places in their order; the other fields stay hidden
    // behind them.
    const int total = m_header->count();
    for (int field = 0; field < total; ++field)
        m_header->setSectionHidden(field, !isGridColumn(field));
    for (int i = 0; i < m_columns.size(); ++i) {
        const Column &c = m_columns.at(i);
        m_header->moveSection(m_header->visualIndex(c.field), i);
        // A designed width that the desktop's font would cut the title in grows to fit it.
        m_header->resizeSection(c.field, c.width > 0 ? qMax(c.width, titleWidth(c.field))
                                                     : defaultWidth(c.field, fontMetrics()));
    }
}

bool CardGrid::isGridColumn(int field) const
{
    return std::any_of(m_columns.begin(), m_columns.end(),
                       [field](const Column &c) { return c.field == field; });
}

int CardGrid::defaultWidth(int field, const QFontMetrics &metrics)
{
    const FieldDef &def = CardFields::def(field);
    int characters = def.size;
    switch (def.type) {
    case FieldType::Integer:
        characters = 11;
        break;
    case FieldType::Date:
        characters = 10;
        break;
    case FieldType::DateTime:
        characters = 19;
        break;
    case FieldType::Text:
        break;
    }
    const int content = characters * metrics.averageCharWidth() + 4;
    const int title = metrics.horizontalAdvance(def.labelText()) + 4;
    return qMax(content, title);
}

int CardGrid::titleWidth(int field) const
{
    const int margin = m_header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, m_header);
    return m_header->fontMetrics().horizontalAdvance(CardFields::def(field).labelText()) +
           2 * margin + 2;
}

QList<int> CardGrid::visibleFields() const
{
    QList<int> fields;
    for (int visual = 0; visual < m_header->count(); ++visual) {
        const int field = m_header->logicalIndex(visual);
        if (isGridColumn(field) && !m_header->isSectionHidden(field))
            fields.append(field);
    }
    return fields;
}

int CardGrid::currentField() const
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && isGridColumn(current.column()))
        return current.column();
    const QList<int> fields = visibleFields();
    return fields.isEmpty() ? -1 : fields.first();
}

void CardGrid::setSortMarkerRule(std::function<bool(int)> rule)
{
    m_markerRule = std::move(rule);
    updateTitles();
}

bool CardGrid::titleHasSortMarker(int field) const
{
    return m_markerRule && isGridColumn(field) && m_markerRule(field);
}

void CardGrid::updateTitles()
{
    m_header->viewport()->update();
}

GridLayoutState CardGrid::layoutState() const
{
    GridLayoutState state;
    for (int visual = 0; visual < m_header->count(); ++visual) {
        const int field = m_header->logicalIndex(visual);
        if (!isGridColumn(field))
            continue;
        GridColumnLayout column = m_kept.value(field);
        column.fieldName = CardFields::def(field).nameText();
        column.visible = !m_header->isSectionHidden(field);
        column.width = column.visible ? m_header->sectionSize(field) : m_hiddenWidths.value(field);
        column.sortMarker = titleHasSortMarker(field) ? 1 : 0;
        state.columns.append(column);
    }
    state.rowHeight = m_rowHeight;
    state.rowLines = m_rowLines;
    return state;
}

void CardGrid::applyLayout(const GridLayoutState &state)
{
    int place = 0;
    for (const GridColumnLayout &column : state.columns) {
        const int field = CardFields::indexOf(column.fieldName);
        if (field < 0 || !isGridColumn(field))
            continue;
        m_kept.insert(field, column);
        m_header->moveSection(m_header->visualIndex(field), place++);
        const int width = qMax(column.width, m_header->minimumSectionSize());
        m_header->setSectionHidden(field, !column.visible);
        if (column.visible)
            m_header->resizeSection(field, width);
        else
            m_hiddenWidths.insert(field, width);
    }
    m_rowHeight = state.rowHeight;
    m_rowLines = state.rowLines;
    if (m_rowHeight > 0)
        verticalHeader()->setDefaultSectionSize(m_rowHeight);
}

QList<int> CardGrid::selectedRows() const
{
    QList<int> rows;
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty() && currentIndex().isValid())
        rows.append(currentIndex().row());
    return rows;
}

QRect CardGrid::currentRowOnScreen() const
{
    if (!currentIndex().isValid())
        return QRect();
    const int top = rowViewportPosition(currentIndex().row());
    const QRect row = QRect(0, top, viewport()->width(), rowHeight(currentIndex().row()))
                          .intersected(viewport()->rect());
    return row.isEmpty() ? QRect() : QRect(viewport()->mapToGlobal(row.topLeft()), row.size());
}

CardGrid::PlaceKeeper::PlaceKeeper(CardGrid *grid)
    : m_grid(grid), m_column(grid->currentIndex().column()),
      m_scroll(grid->horizontalScrollBar()->value())
{}

CardGrid::PlaceKeeper::~PlaceKeeper()
{
    const QModelIndex current = m_grid->currentIndex();
    if (current.isValid() && m_column >= 0 && current.column() != m_column)
        m_grid->selectionModel()->setCurrentIndex(m_grid->model()->index(current.row(), m_column),
                                                  QItemSelectionModel::NoUpdate);
    m_grid->horizontalScrollBar()->setValue(m_scroll);
}

QString CardGrid::selectionText() const
{
    if (!m_model)
        return QString();
    const QList<int> rows = selectedRows();

    // A TAB ends many workplace codes: in a cell it would split the row in a spreadsheet.
    const auto cell = [](QString text) {
        for (QChar &c : text) {
            if (c == u'\t' || c == u'\r' || c == u'\n')
                c = u' ';
        }
        while (text.endsWith(u' '))
            text.chop(1);
        return text;
    };
    const QList<int> fields = visibleFields();
    QStringList lines;
    QStringList titles;
    for (int field : fields)
        titles.append(cell(m_model->headerData(field, Qt::Horizontal).toString()));
    lines.append(titles.join(u'\t'));
    const CardTable *table = m_model->table();
    for (int row : std::as_const(rows)) {
        QStringList cells;
        for (int field : fields)
            cells.append(cell(table->text(row, field)));
        lines.append(cells.join(u'\t'));
    }
    return lines.join(u'\n') + u'\n';
}

void CardGrid::copySelection() const
{
    QApplication::clipboard()->setText(selectionText());
}

void CardGrid::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit commandKey(Qt::Key_Return);
        return;
    case Qt::Key_Insert:
    case Qt::Key_Delete:
        event->accept();
        emit commandKey(event->key());
        return;
    default:
        break;
    }
    if (event->matches(QKeySequence::Copy)) {
        event->accept();
        copySelection();
        return;
    }
    QTableView::keyPressEvent(event);
}

int CardGrid::textRoom(int width) const
{
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return width - 2 * margin;
}

bool CardGrid::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    if (index.isValid()) {
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect cell = visualRect(index);
        if (fontMetrics().horizontalAdvance(text) > textRoom(cell.width())) {
            QToolTip::showText(help->globalPos(), text, viewport(), cell);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}
