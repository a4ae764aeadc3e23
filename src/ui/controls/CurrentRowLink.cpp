#include "ui/controls/CurrentRowLink.h"

#include "app/CommandGuard.h"
#include "data/CardTable.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

CurrentRowLink::CurrentRowLink(CardTable *table, QAbstractItemView *view, QObject *parent)
    : QObject(parent), m_table(table), m_view(view)
{
    connect(table, &CardTable::currentChanged, this, [this](int) { followTable(); });
    connect(view->model(), &QAbstractItemModel::modelReset, this, &CurrentRowLink::followTable);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { followView(current.row()); });
    followTable();
}

void CurrentRowLink::followTable()
{
    if (m_passing || m_table->viewUpdatesSuppressed())
        return;
    QAbstractItemModel *model = m_view->model();
    const int row = m_table->currentRow();
    if (row < 0 || row >= model->rowCount())
        return;
    int column = m_view->currentIndex().column();
    if (column < 0 || column >= model->columnCount()) {
        column = 0;
        if (const auto *table = qobject_cast<const QTableView *>(m_view)) {
            // The first column on show.
            const QHeaderView *header = table->horizontalHeader();
            for (int visual = 0; visual < header->count(); ++visual) {
                if (!header->isSectionHidden(header->logicalIndex(visual))) {
                    column = header->logicalIndex(visual);
                    break;
                }
            }
        }
    }
    m_passing = true;
    m_view->selectionModel()->setCurrentIndex(
        model->index(row, column), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_passing = false;
}

void CurrentRowLink::followView(int row)
{
    if (m_passing || row < 0 || row == m_table->currentRow())
        return;
    m_passing = true;
    // A pending change that cannot be posted keeps the table where it is.
    runGuarded([&] { m_table->setCurrentRow(row); });
    m_passing = false;
    if (m_table->currentRow() != row)
        followTable();
}
