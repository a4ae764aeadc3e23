#include "ui/main/CardListCommands.h"

#include "app/BoxPlacement.h"
#include "app/CommandGuard.h"
#include "data/CardTable.h"
#include "data/TDM1.h"
#include "platform/Dialogs.h"
#include "platform/QorError.h"
#include "ui/controls/CardGrid.h"
#include "ui/controls/FindDialog.h"
#include "ui/controls/LookupComboBox.h"
#include "ui/entry/TfmVvod.h"
#include "ui/main/CardListRules.h"
#include "ui/main/DataModule.h"
#include "ui/main/MeetingList.h"

#include <QAbstractItemModel>
#include <memory>

namespace {

CardTable &cards()
{
    return dataModule().cdsQor();
}

TfmVvod &entryForm()
{
    if (!fmVvod)
        throw QorError(QStringLiteral("Форма ввода карточки не создана"));
    return *fmVvod;
}

void requireMeeting(const MeetingList *meetings)
{
    if (meetings->current().isEmpty())
        throw QorError(QStringLiteral("Сначала добавьте заседание!"));
}

} // namespace

CardListCommands::CardListCommands(CardGrid *grid, MeetingList *meetings, QWidget *window)
    : QObject(window), m_grid(grid), m_meetings(meetings), m_window(window)
{
    connect(grid, &CardGrid::titleClicked, this,
            [this](int field) { runGuarded([this, field] { DBGridEh1TitleBtnClick(field); }); });
    connect(grid, &CardGrid::commandKey, this, &CardListCommands::DBGridEh1KeyDown);
    connect(grid, &CardGrid::dataRowDoubleClicked, this, &CardListCommands::DBGridEh1DblClick);
    grid->setSortMarkerRule([this](int field) { return DBGridEh1GetBtnParams(field); });
}

void CardListCommands::setFilterBoxes(LookupComboBox *ftype, LookupComboBox *podkom)
{
    m_ftype = ftype;
    m_podkom = podkom;
}

void CardListCommands::setStatusLine(std::function<void()> showRecordCount)
{
    m_showRecordCount = std::move(showRecordCount);
}

void CardListCommands::showRecordCount()
{
    if (m_showRecordCount)
        m_showRecordCount();
}

void CardListCommands::aNewExecute()
{
    requireMeeting(m_meetings);
    const auto back = backToList();
    entryForm().openCard(true);
    showRecordCount();
}

void CardListCommands::aOpenExecute()
{
    if (cards().isEmpty())
        return;
    const auto back = backToList();
    entryForm().openCard(false);
    showRecordCount();
}

void CardListCommands::aDelExecute()
{
    CardTable &table = cards();
    if (table.isEmpty())
        return;
    const QList<int> rows = m_grid->selectedRows();
    const bool several = rows.size() > 1;
    const auto back = backToList();
    const QString question =
        several ? QStringLiteral("Удалить выделенные карточки (%1)?").arg(rows.size())
                : QStringLiteral("Удалить карточку ?");
    if (Dialogs::instance().cautiousQuestion(QStringLiteral("Подтверждение удаления"), question,
                                             Dialogs::Icon::Warning, Dialogs::Buttons::OkCancel,
                                             m_grid->currentRowOnScreen()) != Dialogs::Answer::Ok)
        return;
    try {
        if (several)
            table.deleteRows(rows);
        else
            table.deleteCurrent();
    } catch (...) {
        // The cards are gone from the list even when the save failed: the count must say so.
        showRecordCount();
        throw;
    }
    showRecordCount();
}

void CardListCommands::aFindExecute()
{
    requireMeeting(m_meetings);
    if (!m_find) {
        m_find = new FindDialog(m_window);
        m_find->setFinder([this](const CardFind::Request &r) {
            const bool found = findNext(r);
            if (found)
                BoxPlacement::placeClearOf(m_find, m_grid->currentRowOnScreen(), m_window);
            return found;
        });
    }
    QList<QPair<QString, int>> columns;
    for (int field : m_grid->visibleFields())
        columns.append({m_grid->model()->headerData(field, Qt::Horizontal).toString(), field});
    m_find->prepare(columns, m_grid->currentField());
    const auto back = backToList();
    BoxPlacement::placeClearOf(m_find, m_grid->currentRowOnScreen(), m_window);
    m_find->exec();
}

std::shared_ptr<void> CardListCommands::backToList() const
{
    // Once the form or box closes, the keys go to the list again, whatever the way out.
    return std::shared_ptr<void>(nullptr, [grid = m_grid](void *) {
        if (grid->isVisible())
            grid->setFocus(Qt::OtherFocusReason);
    });
}

bool CardListCommands::findNext(const CardFind::Request &request)
{
    CardTable &table = cards();
    const QList<int> fields =
        request.column >= 0 ? QList<int>{request.column} : m_grid->visibleFields();
    // Without the format a calculated column is searched in the codes it is calculated from.
    const auto textOf = [&](int row, int field) {
        if (!request.asShown && field == CardFields::C_FTYPE)
            field = CardFields::FTYPE;
        else if (!request.asShown && field == CardFields::C_PODKOM)
            field = CardFields::PODKOM;
        return table.text(row, field);
    };
    const int row =
        CardFind::nextRow(table.count(), table.currentRow(), request.direction, [&](int r) {
            for (int field : fields) {
                if (CardFind::matches(textOf(r, field), request.pattern, request.match,
                                      request.caseSensitive))
                    return true;
            }
            return false;
        });
    if (row < 0)
        return false;
    table.setCurrentRow(row);
    return true;
}

void CardListCommands::lcbFTYPEChange()
{
    if (!m_ftype || !m_podkom)
        return;
    const QString expression = CardListRules::filterExpression(
        m_ftype->currentIndex(), m_ftype->key(), m_podkom->currentIndex(), m_podkom->key());
    CardTable &table = cards();
    const CardGrid::PlaceKeeper place(m_grid);
    const CardTable::Bookmark mark = table.bookmark();
    table.setFilter(expression);
    // The card stays current when the new filter still shows it.
    if (mark && table.bookmarkValid(mark))
        table.gotoBookmark(mark);
    showRecordCount();
}

void CardListCommands::DBGridEh1TitleBtnClick(int field)
{
    CardTable &table = cards();
    const QString surname =
        table.isEmpty() ? QString() : table.text(table.currentRow(), CardFields::FAM);
    const CardGrid::PlaceKeeper place(m_grid);
    {
        ScopedViewUpdates views(table);
        table.setSortField(CardListRules::sortFieldOfColumn(CardFields::def(field).nameText()));
        if (!surname.isEmpty())
            table.locate(u"FAM", surname);
    }
    m_grid->updateTitles();
}

bool CardListCommands::DBGridEh1GetBtnParams(int field) const
{
    if (!DM1 || field < 0 || field >= CardFields::Count)
        return false;
    return CardListRules::titleHasSortMarker(CardFields::def(field).nameText(),
                                             DM1->cdsQor().sortField());
}

void CardListCommands::DBGridEh1KeyDown(int key)
{
    runGuarded([&] {
        switch (key) {
        case Qt::Key_Return:
            aOpenExecute();
            break;
        case Qt::Key_Insert:
            aNewExecute();
            break;
        case Qt::Key_Delete:
            aDelExecute();
            break;
        default:
            break;
        }
    });
}

void CardListCommands::DBGridEh1DblClick()
{
    runGuarded([this] { aOpenExecute(); });
}
