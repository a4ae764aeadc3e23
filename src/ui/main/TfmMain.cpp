#include "ui/main/TfmMain.h"

#include "app/CommandGuard.h"
#include "app/FirstPaint.h"
#include "app/settings/GridLayout.h"
#include "app/settings/ObrSoc.h"
#include "app/settings/SettingsStore.h"
#include "data/CardTableModel.h"
#include "data/TDM1.h"
#include "output/AboutManual.h"
#include "output/Export.h"
#include "output/PrintList.h"
#include "platform/BusyCursor.h"
#include "ui/controls/CardGrid.h"
#include "ui/controls/CurrentRowLink.h"
#include "ui/controls/FocusedWheel.h"
#include "ui/controls/LookupComboBox.h"
#include "ui/main/CardColumns.h"
#include "ui/main/CardListCommands.h"
#include "ui/main/CardListRules.h"
#include "ui/main/DataModule.h"
#include "ui/main/MainCommands.h"
#include "ui/main/MainWindowState.h"
#include "ui/main/MeetingList.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

TfmMain *fmMain = nullptr;

namespace {

constexpr int kToolBarHeight = 30;
constexpr int kPanelHeight = 37;
constexpr int kFtypeWidth = 151;
constexpr int kPodkomWidth = 205;
const QString kFilterHint = QStringLiteral("Установка фильтра для выгрузки");

} // namespace

TfmMain::TfmMain(const QString &folder, QWidget *parent) : QMainWindow(parent)
{
    fmMain = this;
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QStringLiteral("Ордана"));
    setMinimumSize(kMinimumSize);
    resize(kInitialSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, kInitialSize,
                                        screen->availableGeometry()));

    m_actions = MainCommands::createActions(this);
    auto *menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu"));
    MainCommands::fillMenuBar(menuBar, m_actions);
    setMenuBar(menuBar);

    buildToolBar();

    auto *centre = new QWidget(this);
    auto *column = new QVBoxLayout(centre);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Panel1 = new QWidget(centre);
    column->addWidget(Panel1);
    buildMeetingStrip();
    DBGridEh1 = new CardGrid(centre);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    column->addWidget(DBGridEh1, 1);
    setCentralWidget(centre);

    buildStatusBar();

    m_meetings = new MeetingList(cbKom, folder, this);
    m_cardList = new CardListCommands(DBGridEh1, m_meetings, this);
    m_cardList->setFilterBoxes(lcbFTYPE, lcbPODKOM);
    m_cardList->setStatusLine([this] { ShowRecordCount(); });
    m_state = std::make_unique<MainWindowState>(
        this, MainWindowState::Controls{m_actions.value("aStatusBar"), m_actions.value("aToolBar"),
                                        StatusBar, ToolBar1, lcbFTYPE, lcbPODKOM});
    buildCardList();
    wireCommands();
    FormCreate();
}

TfmMain::~TfmMain()
{
    if (m_state->saveOwed()) {
        runGuarded([this] {
            SettingsStore store;
            m_state->save(store, WindowStateSaveMoment::Destruction);
        });
    }
    if (DM1) {
        DM1->setSaveAction({});
        DM1->setSubcommissionLookup(nullptr);
    }
    if (fmMain == this)
        fmMain = nullptr;
}

void TfmMain::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMinimumHeight(kToolBarHeight);
    lcbFTYPE = new LookupComboBox(ToolBar1);
    lcbFTYPE->setObjectName(QStringLiteral("lcbFTYPE"));
    lcbFTYPE->setToolTip(kFilterHint);
    lcbFTYPE->setStatusTip(kFilterHint);
    lcbFTYPE->setFixedWidth(kFtypeWidth);
    lcbFTYPE->setList(&ReferenceLists::cardTypeFilter());
    MainCommands::fillToolBar(ToolBar1, m_actions, lcbFTYPE);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    // Never shown: it holds the subcommission part of the filter and the lookup list of the
    // calculated subcommission text.
    lcbPODKOM = new LookupComboBox(this);
    lcbPODKOM->setObjectName(QStringLiteral("lcbPODKOM"));
    lcbPODKOM->setFixedWidth(kPodkomWidth);
    lcbPODKOM->hide();
    m_podkomList = ReferenceLists().subcommissionFilter();
    lcbPODKOM->setList(&m_podkomList);
}

void TfmMain::buildStatusBar()
{
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusLine = new QLabel(StatusBar);
    m_statusLine->setObjectName(QStringLiteral("StatusBarPanel"));
    StatusBar->addWidget(m_statusLine, 1);
    setStatusBar(StatusBar);
}

void TfmMain::buildMeetingStrip()
{
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(kPanelHeight);
    auto *label = m_meetingCaption = new QLabel(QStringLiteral("Заседание комиссии:"), Panel1);
    cbKom = new QComboBox(Panel1);
    cbKom->setObjectName(QStringLiteral("cbKom"));
    cbKom->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbKom->setMinimumContentsLength(12);
    cbKom->setMaximumWidth(420);
    // In a narrow window the selector gives way first; the buttons keep their captions whole.
    cbKom->setMinimumWidth(fontMetrics().averageCharWidth() * 3 +
                           style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    // A very long name makes the drop-down no wider than half the screen; it shows cut.
    cbKom->view()->setTextElideMode(Qt::ElideMiddle);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        cbKom->view()->window()->setMaximumWidth(screen->availableGeometry().width() / 2);
    label->setBuddy(cbKom);
    btnAdd = new QPushButton(QStringLiteral("Новое заседание"), Panel1);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    tblDel = new QPushButton(QStringLiteral("Удалить заседание"), Panel1);
    tblDel->setObjectName(QStringLiteral("tblDel"));
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(6, 0, 6, 0);
    for (QPushButton *button : {btnAdd, tblDel})
        button->setMinimumWidth(button->sizeHint().width());
    row->addWidget(label);
    row->addWidget(cbKom, 1);
    row->addWidget(btnAdd);
    row->addWidget(tblDel);
    row->addStretch(0);
    setTabOrder(cbKom, btnAdd);
    setTabOrder(btnAdd, tblDel);
}

void TfmMain::buildCardList()
{
    if (DM1) {
        m_model = new CardTableModel(&DM1->cdsQor(), this);
        DBGridEh1->setCardModel(m_model);
        m_rowLink = new CurrentRowLink(&DM1->cdsQor(), DBGridEh1, this);
        DM1->setSubcommissionLookup(&m_podkomList);
        DM1->setSaveAction([this] { m_meetings->saveCurrent(); });
    }
    DBGridEh1->setColumns(cardListColumns());
}

void TfmMain::onTriggered(const char *name, std::function<void()> command)
{
    connect(m_actions.value(QLatin1String(name)), &QAction::triggered, this,
            [command = std::move(command)] { runGuarded(command); });
}

void TfmMain::wireCommands()
{
    onTriggered("aNew", [this] { m_cardList->aNewExecute(); });
    onTriggered("aOpen", [this] { m_cardList->aOpenExecute(); });
    onTriggered("aDel", [this] { m_cardList->aDelExecute(); });
    onTriggered("aFind", [this] { m_cardList->aFindExecute(); });
    onTriggered("aExport", [this] { aExportExecute(); });
    onTriggered("aPrint", [this] { aPrintExecute(); });
    onTriggered("aAbout", [this] { aAboutExecute(); });
    onTriggered("aManual", [this] { aManualExecute(); });
    onTriggered("aHistory", [this] { m_meetings->showHistory(this); });
    connect(m_actions.value("aExit"), &QAction::triggered, this, &QWidget::close);
    connect(m_actions.value("aToolBar"), &QAction::triggered, this,
            [this](bool checked) { ToolBar1->setVisible(checked); });
    connect(m_actions.value("aStatusBar"), &QAction::triggered, this, [this](bool checked) {
        StatusBar->setVisible(checked);
        if (checked)
            ShowRecordCount();
    });

    connect(cbKom, &QComboBox::activated, this,
            [this] { runGuarded([this] { m_meetings->cbKomChange(); }); });
    connect(btnAdd, &QPushButton::clicked, this,
            [this] { runGuarded([this] { m_meetings->btnAddClick(); }); });
    connect(tblDel, &QPushButton::clicked, this,
            [this] { runGuarded([this] { m_meetings->tblDelClick(); }); });
    connect(m_meetings, &MeetingList::switched, this, [this] {
        ShowRecordCount();
        // Whatever switched the meeting (the selector, a new or a deleted meeting), the keys
        // go to its cards next.
        DBGridEh1->setFocus(Qt::OtherFocusReason);
    });
    for (LookupComboBox *box : {lcbFTYPE, lcbPODKOM}) {
        connect(box, &QComboBox::currentIndexChanged, this,
                [this] { runGuarded([this] { m_cardList->lcbFTYPEChange(); }); });
    }
}

void TfmMain::FormCreate()
{
    // The key hook (HookAppKeyDown) is the window context of the commands' shortcuts; hints go
    // to the status bar as status tips, and every list box with key codes carries its own
    // long-entry tooltip (DoShowHint).
    lcbFTYPE->setCurrentIndex(0);
    lcbPODKOM->setCurrentIndex(0);
    // The wheel changes the meeting or the filter only in the box being used, never in passing.
    for (QComboBox *box : {static_cast<QComboBox *>(lcbFTYPE), cbKom})
        acceptWheelOnlyWithFocus(box);
    // F10 opens the menu, as in every Windows and KDE program.
    auto *menuKey = new QAction(this);
    menuKey->setShortcut(Qt::Key_F10);
    menuKey->setShortcutContext(Qt::WindowShortcut);
    connect(menuKey, &QAction::triggered, this, [this] {
        if (!menuBar()->actions().isEmpty())
            menuBar()->setActiveAction(menuBar()->actions().first());
    });
    addAction(menuKey);
}

void TfmMain::setVisible(bool visible)
{
    const bool first = visible && !m_shown;
    if (first) {
        m_shown = true;
        // Before the window appears, so that it does not jump.
        runGuarded([this] {
            SettingsStore store;
            m_state->restore(store);
        });
        runGuarded([this] { FormShow(); });
        // The window appears first, however large the meeting; its cards follow.
        runAfterFirstPaint(this, [this] { runGuarded([this] { openFirstMeeting(); }); });
    }
    QMainWindow::setVisible(visible);
}

void TfmMain::FormShow()
{
    TDM1 &dm = dataModule();
    const Variant variant = readVariant();
    if (variant == Variant::EducationSocial) {
        dm.setVariant(variant);
        m_podkomList = dm.lists().subcommissionFilter();
        lcbPODKOM->setList(&m_podkomList);
        lcbPODKOM->setCurrentIndex(0);
        dm.setSubcommissionLookup(&m_podkomList);
    }
    ShowRecordCount();

    SettingsStore store;
    GridLayoutState layout = DBGridEh1->layoutState();
    restoreGridLayout(layout, store);
    DBGridEh1->applyLayout(layout);
    m_meetings->fill();
}

void TfmMain::openFirstMeeting()
{
    const BusyCursor busy;
    m_firstMeetingOpened = true;
    m_meetings->openSelected();
    DBGridEh1->setFocus(Qt::OtherFocusReason); // the first keys go to the cards
}

void TfmMain::closeEvent(QCloseEvent *event)
{
    if (!m_meetings->mayLeave()) {
        event->ignore();
        return;
    }
    SettingsStore store;
    runGuarded([&] { m_state->save(store, WindowStateSaveMoment::CloseRequest); });
    // A layout that cannot be written is reported, and the program still ends: no card is
    // lost by that, while a window that cannot be closed would hold the user.
    runGuarded([&] { saveGridLayout(store, DBGridEh1->layoutState()); });
    event->accept();
}

void TfmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // In a narrow window the strip's caption goes first, then the selector shrinks: the buttons
    // keep their captions whole.
    const QLayout *row = Panel1->layout();
    const int spacing =
        row->spacing() * 3 + row->contentsMargins().left() + row->contentsMargins().right();
    const int needed = m_meetingCaption->sizeHint().width() + cbKom->minimumWidth() +
                       btnAdd->minimumWidth() + tblDel->minimumWidth() + spacing;
    m_meetingCaption->setVisible(centralWidget()->width() >= needed);
}

void TfmMain::ShowRecordCount()
{
    // The window appears before the first meeting's cards: until they are loaded the count
    // would say the meeting had none.
    if (!m_firstMeetingOpened) {
        m_statusLine->clear();
        return;
    }
    const CardTable *table = DM1 ? &DM1->cdsQor() : nullptr;
    m_statusLine->setText(CardListRules::recordCountText(table ? table->count() : 0,
                                                         table && !table->filter().isEmpty()));
}

QString TfmMain::currentMeeting() const
{
    return m_meetings->current();
}

QString TfmMain::meetingTitle() const
{
    return cbKom->currentText();
}

void TfmMain::aExportExecute()
{
    ExportCommand(currentMeeting(), dataModule().cdsQor(), dataModule().lists(),
                  m_meetings->folder());
}

QList<PrintColumn> TfmMain::printColumns() const
{
    // Every column of the list, in the order the user has them now, with its title as shown.
    QList<PrintColumn> columns;
    for (const GridColumnLayout &column : DBGridEh1->layoutState().columns) {
        const int field = CardFields::indexOf(column.fieldName);
        columns.append({CardFields::def(field).labelText(), column.fieldName});
    }
    return columns;
}

void TfmMain::aPrintExecute()
{
    PrintList(PrintListTitle(meetingTitle()), printColumns(), dataModule().cdsQor());
}

void TfmMain::aAboutExecute()
{
    ShowAbout();
}

void TfmMain::aManualExecute()
{
    OpenManual(m_meetings->folder());
}
