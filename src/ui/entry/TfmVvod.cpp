#include "ui/entry/TfmVvod.h"

#include "app/CommandGuard.h"
#include "data/TDM1.h"
#include "platform/BusyCursor.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/QorError.h"
#include "ui/controls/FieldComboBox.h"
#include "ui/controls/FieldDateEdit.h"
#include "ui/controls/FieldLineEdit.h"
#include "ui/entry/EntryRules.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <optional>

using F = CardFields::Index;

TfmVvod *fmVvod = nullptr;

TfmVvod::TfmVvod(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmVvod"));
    setWindowTitle(QStringLiteral("Ввод"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    m_ui = buildEntryControls(this);

    const auto guarded = [](auto command) { return [command] { runGuarded(command); }; };
    connect(m_ui.btnApply, &QPushButton::clicked, this, guarded([this] { btnApplyClick(); }));
    connect(m_ui.btnNext, &QPushButton::clicked, this,
            guarded([this] { btnNextPriorClick(true); }));
    connect(m_ui.btnPrior, &QPushButton::clicked, this,
            guarded([this] { btnNextPriorClick(false); }));
    connect(m_ui.btnExit, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui.btnLPU, &QPushButton::clicked, this, guarded([this] { btnLPUClick(); }));
    connect(m_ui.btnJOB, &QPushButton::clicked, this, guarded([this] { btnJOBClick(); }));
    // The card type follows the subcommission finally chosen, not each entry typing passes.
    connect(m_ui.lcbPODKOM, &FieldComboBox::shownTextChanged, this, [this](const QString &text) {
        if (!m_ui.lcbPODKOM->isChoosing())
            runGuarded([&] { lcbPODKOMChange(text); });
    });
    connect(m_ui.lcbPODKOM, &LookupComboBox::entryCommitted, this,
            [this] { runGuarded([&] { lcbPODKOMChange(m_ui.lcbPODKOM->shownText()); }); });

    const struct
    {
        FieldLineEdit *box;
        int copyField;
    } names[] = {{m_ui.DBEdit2, F::FAM2}, {m_ui.DBEdit3, F::NAME2}, {m_ui.DBEdit4, F::OTCH2}};
    for (const auto &name : names) {
        connect(name.box, &FieldLineEdit::left, this, [this, name](bool changed) {
            runGuarded([&] { nameBoxLeft(name.box, name.copyField, changed); });
        });
    }
    for (FieldLineEdit *box : {m_ui.DBEdit22, m_ui.DBEdit23, m_ui.DBEdit24}) {
        connect(box, &FieldLineEdit::left, this,
                [this, box] { runGuarded([&] { copyBoxLeft(box); }); });
    }
    fmVvod = this;
}

TfmVvod::~TfmVvod()
{
    if (fmVvod == this)
        fmVvod = nullptr;
}

TDM1 &TfmVvod::dm() const
{
    if (!DM1)
        throw QorError(QStringLiteral("Модуль данных программы не создан"));
    return *DM1;
}

CardTable &TfmVvod::table() const
{
    return dm().cdsQor();
}

void TfmVvod::bindControls(CardTable *table)
{
    for (FieldComboBox *box : findChildren<FieldComboBox *>())
        box->bind(table);
    for (FieldLineEdit *box : findChildren<FieldLineEdit *>())
        box->bind(table);
    m_ui.DBDateEdit2->bind(table);
}

// ---- Opening and closing -------------------------------------------------------------------

void TfmVvod::openCard(bool newCard)
{
    if (isVisible())
        return;
    TDM1 &data = dm();
    CardTable &t = data.cdsQor();
    if (!newCard && t.isEmpty())
        return; // no card to show
    std::optional<BusyCursor> busy(std::in_place);
    m_couplingArmed = false;
    m_savedFilter = t.filter();
    try {
        // Every card of the meeting is reachable while the form is open. Without a filter the
        // list stays as it is: shown anew, a large meeting would make the form wait.
        if (!m_savedFilter.isEmpty()) {
            const CardTable::Bookmark mark = t.bookmark();
            t.setFilter(QString());
            if (mark)
                t.gotoBookmark(mark);
        }

        m_newMode = newCard;
        m_newCard = newCard;
        m_ui.btnPrior->setVisible(!newCard);
        m_ui.btnNext->setEnabled(true);
        m_ui.btnPrior->setEnabled(true);
        const bool education = data.lists().variant() == Variant::EducationSocial;
        m_ui.cbLPU->setVisible(!education);
        m_ui.cbLPU_ObrSoc->setVisible(education);
        m_ui.lcbPODKOM->setFieldList(&data.lists().subcommissions());

        m_watch = connect(&t, &CardTable::stateChanged, this, &TfmVvod::onStateChanged);
        bindControls(&t);
        NextRec();
        m_couplingArmed = true;
        focusFirstBox();
        if (const QScreen *screen =
                parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
            move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, frameGeometry().size(),
                                     screen->availableGeometry())
                     .topLeft());
        busy.reset();
        exec();
    } catch (...) {
        finishOpening();
        throw;
    }
    finishOpening();
}

void TfmVvod::finishOpening()
{
    const BusyCursor busy;
    m_couplingArmed = false;
    m_watchArmed = false;
    disconnect(m_watch);
    CardTable &t = table();
    // A card never applied disappears; changes never applied are discarded.
    runGuarded([&t] { t.cancel(); });
    runGuarded([&] {
        if (m_savedFilter.isEmpty())
            return; // the list was left as it was
        const CardTable::Bookmark mark = t.bookmark();
        t.setFilter(m_savedFilter);
        // A card the filter hides: the list stays on the first card that passes.
        if (mark && t.bookmarkValid(mark))
            t.gotoBookmark(mark);
    });
    bindControls(nullptr);
}

void TfmVvod::closeEvent(QCloseEvent *event)
{
    bool close = !isVisible();
    if (!close)
        runGuarded([&] { close = mayClose(); });
    if (!close) {
        event->ignore();
        return;
    }
    m_couplingArmed = false;
    done(QDialog::Rejected);
    event->accept();
}

bool TfmVvod::mayClose()
{
    if (!m_ui.btnApply->isEnabled())
        return true;
    switch (Dialogs::instance().question(EntryRules::closeQuestion(m_newCard),
                                         Dialogs::Buttons::YesNoCancel)) {
    case Dialogs::Answer::Yes:
        Proverka();
        return true;
    case Dialogs::Answer::No:
        setModified(false);
        return true;
    default:
        return false;
    }
}

void TfmVvod::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A focused button is pressed; in a box Enter applies nothing.
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

// ---- Cards ---------------------------------------------------------------------------------

void TfmVvod::NextRec()
{
    CardTable &t = table();
    setModified(false);
    m_watchArmed = true;
    if (m_newCard) {
        t.append();
        DefaultsList &defaults = dm().defaults();
        EntryRules::setDefault(t, defaults, F::JOB);
        EntryRules::setWorkplaceDefault(t, defaults, dm().lists().workplaces());
        EntryRules::setDefault(t, defaults, F::FTYPE);
        EntryRules::setDefault(t, defaults, F::PODKOM);
        setWindowTitle(EntryRules::newCardTitle());
        t.field(F::CHANGEDATE).setAsDayNumber(Clock::nowDayNumber());
    } else {
        setWindowTitle(EntryRules::cardTitle(t));
    }
    m_couplingArmed = true;
    cbSPECSelect();
}

void TfmVvod::finishTyping()
{
    // A shortcut presses a button with the focus still in a box: the box counts as left.
    QWidget *focus = focusWidget();
    if (auto *line = qobject_cast<FieldLineEdit *>(focus))
        line->finishVisit();
    else if (auto *box = qobject_cast<LookupComboBox *>(focus))
        box->commitEntry();
}

void TfmVvod::Proverka()
{
    finishTyping();
    CardTable &t = table();
    FieldComboBox *specialty = EntryRules::isDoctor(t) ? m_ui.cbSPECvr : m_ui.cbSPECsr;
    if (const auto refused =
            EntryRules::obsoleteEntry(m_ui.lcbPODKOM->shownText(), specialty->shownText())) {
        (refused->field == F::PODKOM ? m_ui.lcbPODKOM : specialty)->setFocus(Qt::OtherFocusReason);
        throw QorError(refused->message);
    }
    if (t.state() != CardTable::State::Browse) {
        m_ui.DBDateEdit2->ensureAcceptable();
        t.post();
    } else if (dm().hasUnsavedChanges()) {
        // The card was stored but its save failed: it is not in its meeting file yet, so the
        // check saves again rather than report a success that is none.
        dm().saveAgain();
    }
    if (m_newCard)
        EntryRules::rememberCardType(t, dm().defaults());
    m_newCard = false;
    setModified(false);
    m_watchArmed = true;
}

void TfmVvod::btnApplyClick()
{
    Proverka();
}

void TfmVvod::btnNextPriorClick(bool next)
{
    // An unchanged card is not checked again: a save refused because of another card must not
    // keep the clerk from moving to that card.
    finishTyping();
    if (m_newMode || table().state() != CardTable::State::Browse)
        Proverka();
    if (m_newMode) {
        m_newCard = true;
        NextRec();
        focusFirstBox();
        return;
    }
    CardTable &t = table();
    m_couplingArmed = false;
    try {
        if (next)
            t.next();
        else
            t.prior();
    } catch (...) {
        m_couplingArmed = true;
        throw;
    }
    if (next ? t.atEnd() : t.atStart()) {
        QPushButton *stopped = next ? m_ui.btnNext : m_ui.btnPrior;
        const bool hadFocus = stopped->hasFocus();
        stopped->setEnabled(false);
        // Back to the card's first box: a key pressed again neither moves back nor goes on to
        // "Выход".
        if (hadFocus)
            focusFirstBox();
        m_couplingArmed = true;
        return;
    }
    m_ui.btnNext->setEnabled(true);
    m_ui.btnPrior->setEnabled(true);
    NextRec();
}

void TfmVvod::setModified(bool modified)
{
    m_ui.btnApply->setEnabled(modified);
}

void TfmVvod::onStateChanged()
{
    if (m_watchArmed && table().state() != CardTable::State::Browse) {
        m_watchArmed = false;
        setModified(true);
    }
}

void TfmVvod::focusFirstBox()
{
    // A new card starts at its first empty box of the two the defaults may fill.
    QWidget *first = m_ui.lcbPODKOM;
    if (m_newCard && m_ui.lcbPODKOM->currentIndex() >= 0)
        first = m_ui.DBEdit2;
    first->setFocus(Qt::OtherFocusReason);
}

// ---- Entry rules of the boxes --------------------------------------------------------------

void TfmVvod::startEditing()
{
    CardTable &t = table();
    if (t.state() == CardTable::State::Browse)
        t.edit();
}

void TfmVvod::nameBoxLeft(FieldLineEdit *box, int copyField, bool changed)
{
    if (!isVisible())
        return;
    CardTable &t = table();
    const QString text = EntryRules::capitalizeFirst(box->text());
    startEditing();
    if (text != box->text())
        t.field(box->fieldIndex()).setAsString(text);
    // Only a name entered or changed on this visit is copied: a "(кому)" form corrected by hand
    // survives tabbing through an unchanged name.
    if (!changed)
        return;
    const CardField copy = t.field(copyField);
    if (text.trimmed().isEmpty())
        copy.clear();
    else
        copy.setAsString(text);
}

void TfmVvod::copyBoxLeft(FieldLineEdit *box)
{
    if (!isVisible())
        return;
    const QString text = EntryRules::capitalizeFirst(box->text());
    if (text == box->text())
        return;
    startEditing();
    table().field(box->fieldIndex()).setAsString(text);
}

void TfmVvod::lcbPODKOMChange(const QString &text)
{
    if (!m_couplingArmed)
        return;
    startEditing();
    table().field(F::FTYPE).setAsInteger(EntryRules::cardTypeOfSubcommission(text));
    cbSPECSelect();
}

void TfmVvod::cbSPECSelect()
{
    CardTable &t = table();
    const bool doctor = EntryRules::isDoctor(t);
    m_ui.cbSPECvr->setVisible(doctor);
    m_ui.cbSPECsr->setVisible(!doctor);
    // A specialty that is not in the list of the card type is cleared.
    if ((doctor ? m_ui.cbSPECvr : m_ui.cbSPECsr)->currentIndex() < 0) {
        startEditing();
        t.field(F::SPEC).clear();
    }
}

void TfmVvod::btnLPUClick()
{
    EntryRules::rememberField(table(), dm().defaults(), F::LPU);
    const FieldComboBox *shown = m_ui.cbLPU->isVisibleTo(this) ? m_ui.cbLPU : m_ui.cbLPU_ObrSoc;
    Dialogs::instance().information(EntryRules::workplaceRemembered(shown->shownText()));
}

void TfmVvod::btnJOBClick()
{
    EntryRules::rememberField(table(), dm().defaults(), F::JOB);
    Dialogs::instance().information(EntryRules::detailRemembered(m_ui.DBEdit21->text()));
}
