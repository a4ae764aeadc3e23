#pragma once

#include "data/ReferenceList.h"
#include "output/PrintList.h"

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class CardGrid;
class CardListCommands;
class CardTableModel;
class CurrentRowLink;
class LookupComboBox;
class MainWindowState;
class MeetingList;
class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QToolBar;

// The main window "Ордана": the program's main form, closing it ends the program. It builds and
// wires its widgets; the meetings, the card list's commands and the stored window state live in
// the pieces beside it.
class TfmMain : public QMainWindow
{
    Q_OBJECT
public:
    // folder: the program folder, where the meeting files are.
    explicit TfmMain(const QString &folder, QWidget *parent = nullptr);
    ~TfmMain() override;

    static constexpr QSize kInitialSize{556, 396};
    static constexpr QSize kMinimumSize{300, 200};

    // The status line: the number of cards in view, and whether a filter is set.
    void ShowRecordCount();

    QString currentMeeting() const;
    // The text of the selected meeting entry: the title of the printed list.
    QString meetingTitle() const;
    // The columns of the printed list: every column of the list in its current order.
    QList<PrintColumn> printColumns() const;
    QAction *action(const QString &name) const { return m_actions.value(name); }
    MeetingList *meetings() const { return m_meetings; }
    CardListCommands *cardList() const { return m_cardList; }

    // Built by their own pieces and wired here.
    void aExportExecute();
    void aPrintExecute();
    void aAboutExecute();
    void aManualExecute();

protected:
    void setVisible(bool visible) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    QMenu *createPopupMenu() override { return nullptr; }

private:
    void FormCreate();
    void FormShow();
    // After the window's first paint: the cards of the first meeting, the focus on them.
    void openFirstMeeting();
    void buildToolBar();
    void buildMeetingStrip();
    void buildStatusBar();
    void buildCardList();
    void wireCommands();
    // The command runs through the command guard whenever the action is triggered.
    void onTriggered(const char *name, std::function<void()> command);

    QHash<QString, QAction *> m_actions;
    QToolBar *ToolBar1;
    LookupComboBox *lcbFTYPE;
    LookupComboBox *lcbPODKOM;
    QWidget *Panel1;
    QLabel *m_meetingCaption;
    QComboBox *cbKom;
    QPushButton *btnAdd;
    QPushButton *tblDel;
    CardGrid *DBGridEh1;
    QStatusBar *StatusBar;
    QLabel *m_statusLine;

    ReferenceList m_podkomList; // the subcommission filter list in use
    CardTableModel *m_model = nullptr;
    CurrentRowLink *m_rowLink = nullptr;
    MeetingList *m_meetings;
    CardListCommands *m_cardList;
    std::unique_ptr<MainWindowState> m_state;
    bool m_shown = false;
    bool m_firstMeetingOpened = false;
};

// The process-wide main window; null outside client mode.
extern TfmMain *fmMain;
