#include "ui/main/CardListCommands.h"

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
    entryForm().openCard(true);
    showRecordCount();
}

void CardListCommands::aOpenExecute()
{
    if (cards().isEmpty())
        return;
    entryForm().openCard(false);
    showRecordCount();
}

void CardListCommands::aDelExecute()
{
    CardTable &table = cards();
    if (table.isEmpty())
        return;
    if (Dialogs::instance().message(QStringLiteral("Подтверждение удаления"),
                                    QStringLiteral("Удалить карточку ?"), Dialogs::Icon::Warning,
                                    Dialogs::Buttons::OkCancel) != Dialogs::Answer::Ok)
        return;
    try {
        table.deleteCurrent();
    } catch (...) {
        // The card is gone from the list even when the save failed: the count must say so.
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
        m_find->setFinder([this](const CardFind::Request &r) { return findNext(r); });
    }
    QList<QPair<QString, int>> columns;
    for (int field : m_grid->visibleFields())
        columns.append({m_grid->model()->headerData(field, Qt::Horizontal).toString(), field});
    m_find->prepare(columns, m_grid->currentField());
    m_find->exec();
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
    cards().setFilter(expression);
    showRecordCount();
}

void CardListCommands::DBGridEh1TitleBtnClick(int field)
{
    CardTable &table = cards();
    const QString surname =
        table.isEmpty() ? QString() : table.text(table.currentRow(), CardFields::FAM);
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
