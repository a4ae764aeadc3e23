#pragma once

#include "ui/controls/CardFind.h"

#include <QObject>

#include <functional>
#include <memory>

class CardGrid;
class CardTable;
class FindDialog;
class LookupComboBox;
class MeetingList;
class QWidget;

// The commands of the card list: open, new, delete and find, sorting by a title, the filter of
// the two filter boxes, and the list's keys and double click. Each throws QorError with the
// message the user sees; the window runs them through the command guard.
class CardListCommands : public QObject
{
    Q_OBJECT
public:
    CardListCommands(CardGrid *grid, MeetingList *meetings, QWidget *window);

    void setFilterBoxes(LookupComboBox *ftype, LookupComboBox *podkom);
    // Writes the status line (ShowRecordCount).
    void setStatusLine(std::function<void()> showRecordCount);

    void aNewExecute();
    void aOpenExecute();
    void aDelExecute();
    void aFindExecute();
    void lcbFTYPEChange();
    void DBGridEh1TitleBtnClick(int field);
    void DBGridEh1KeyDown(int key);
    void DBGridEh1DblClick();
    // Whether a column title carries the sort marker.
    bool DBGridEh1GetBtnParams(int field) const;

    // Made at the first find, then kept.
    FindDialog *findDialog() const { return m_find; }
    // The next card matching request becomes current; false when there is none.
    bool findNext(const CardFind::Request &request);

private:
    void showRecordCount();
    // Gives the list the focus when the returned guard goes.
    std::shared_ptr<void> backToList() const;

    CardGrid *m_grid;
    MeetingList *m_meetings;
    QWidget *m_window;
    LookupComboBox *m_ftype = nullptr;
    LookupComboBox *m_podkom = nullptr;
    FindDialog *m_find = nullptr;
    std::function<void()> m_showRecordCount;
};
