#include "ui/controls/LookupComboBox.h"

#include "data/ReferenceList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QSizeGrip>
#include <QStyle>
#include <QToolTip>
#include <QWindow>

LookupComboBox::LookupComboBox(QWidget *parent) : QComboBox(parent)
{
    // Editable only to show the typed beginning and the selected rest; the text itself is
    // never the user's to change.
    setEditable(true);
    lineEdit()->setReadOnly(true);
    lineEdit()->installEventFilter(this);
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);

    view()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this](int) {
        m_typed.clear();
        emit keyChosen(key());
        if (m_popupJustClosed)
            commitEntry(); // a choice in the drop-down is final
    });
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!m_typing) {
            m_typed.clear();
            showFromStart();
        }
    });
}

void LookupComboBox::setList(const ReferenceList *list)
{
    m_list = list;
    const QSignalBlocker blocker(this);
    clear();
    if (list) {
        for (const ReferenceEntry &entry : list->entries())
            addItem(entry.text);
    }
    setCurrentIndex(-1);
    m_committed = -1;
}

QString LookupComboBox::key() const
{
    const int index = currentIndex();
    return m_list && index >= 0 && index < m_list->count() ? m_list->at(index).key : QString();
}

bool LookupComboBox::setKey(const QString &key)
{
    const int index = m_list && !key.isEmpty() ? m_list->indexOfKey(key) : -1;
    if (index != currentIndex()) {
        setCurrentIndex(index);
        m_committed = index;
    }
    return index >= 0;
}

void LookupComboBox::choose(int index)
{
    const int before = currentIndex();
    m_typing = true;
    setCurrentIndex(index);
    m_typing = false;
    if (index != before)
        emit keyChosen(key());
}

void LookupComboBox::commitEntry()
{
    m_typed.clear();
    if (currentIndex() == m_committed)
        return;
    m_committed = currentIndex();
    emit entryCommitted();
}

bool LookupComboBox::typeCharacters(const QString &text)
{
    bool changed = false;
    for (const QChar c : text) {
        if (!c.isPrint())
            continue;
        const QString wanted = m_typed + c;
        int begun = -1;
        for (int i = 0; i < count() && begun < 0; ++i) {
            if (ReferenceList::equalIgnoringCase(QStringView(itemText(i)).left(wanted.size()),
                                                 wanted))
                begun = i;
        }
        if (begun >= 0 && !m_wordSearch) {
            m_typed = wanted;
            choose(begun);
            changed = true;
        } else if (searchWords(wanted)) {
            m_typed = wanted;
            changed = true;
        }
    }
    if (changed && !m_wordSearch)
        showTypedSelection();
    return changed;
}

// Lists the entries holding every word of wanted in the drop-down, the first highlighted;
// false, changing nothing, when there is none.
bool LookupComboBox::searchWords(const QString &wanted)
{
    auto *list = qobject_cast<QListView *>(view());
    if (!list)
        return false;
    QList<int> found;
    QList<bool> matches(count(), false);
    for (int i = 0; i < count(); ++i) {
        matches[i] = ReferenceList::matchesWords(itemText(i), wanted);
        if (matches[i])
            found.append(i);
    }
    if (found.isEmpty())
        return false;
    for (int i = 0; i < count(); ++i)
        list->setRowHidden(i, !matches[i]);
    m_wordSearch = true;
    lineEdit()->setText(wanted); // the search line: what is being looked for
    QComboBox::showPopup();
    m_popupOpen = true;
    // Qt sizes the drop-down for the rows it had; it gets the height of the rows shown.
    if (QWidget *popup = list->parentWidget()) {
        const int rows = qMin(int(found.size()), maxVisibleItems());
        const int height = rows * list->sizeHintForRow(found.first()) + popup->height() -
                           list->viewport()->height();
        const bool below = popup->y() >= mapToGlobal(QPoint(0, 0)).y();
        const int bottom = popup->geometry().bottom();
        popup->resize(popup->width(), height);
        if (!below)
            popup->move(popup->x(), bottom - height + 1);
    }
    arrangePopup();
    list->setCurrentIndex(model()->index(found.first(), modelColumn(), rootModelIndex()));
    return true;
}

void LookupComboBox::endWordSearch()
{
    if (!m_wordSearch)
        return;
    m_wordSearch = false;
    m_typed.clear();
    if (auto *list = qobject_cast<QListView *>(view())) {
        for (int i = 0; i < count(); ++i)
            list->setRowHidden(i, false);
    }
    setEditText(currentIndex() >= 0 ? itemText(currentIndex()) : QString());
    showFromStart();
}

void LookupComboBox::showFromStart()
{
    // A text longer than the box shows its beginning, selected or not, never its end.
    QLineEdit *edit = lineEdit();
    const int length = int(edit->text().size());
    if (edit->hasSelectedText() && edit->selectedText().size() == length)
        edit->setSelection(length, -length);
    else
        edit->setCursorPosition(0);
}

void LookupComboBox::focusInEvent(QFocusEvent *event)
{
    m_typed.clear();
    QComboBox::focusInEvent(event);
    showFromStart();
}

void LookupComboBox::focusOutEvent(QFocusEvent *event)
{
    m_typed.clear();
    QComboBox::focusOutEvent(event);
    // Into the drop-down or another window is no leaving.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason &&
        !view()->isVisible())
        commitEntry();
}

void LookupComboBox::showTypedSelection()
{
    const int length = int(lineEdit()->text().size());
    const int typed = int(qMin<qsizetype>(m_typed.size(), length));
    lineEdit()->setSelection(length, typed - length);
}

// The keys of typing, Backspace and Delete, whether they come to the box itself (where the
// focus is when the user tabs in) or to its edit line.
bool LookupComboBox::typeKey(QKeyEvent *key)
{
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
        if (m_clearable && !m_wordSearch) {
            m_typed.clear();
            choose(-1);
        }
        return true;
    }
    const bool backspace = key->key() == Qt::Key_Backspace && mods == Qt::NoModifier;
    const bool character =
        mods == Qt::NoModifier && !key->text().isEmpty() && key->text().at(0).isPrint();
    if (!backspace && !character)
        return false;
    // After a pause the typing starts afresh, as in every list.
    if (m_lastKey.isValid() && m_lastKey.elapsed() > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_lastKey.start();
    if (character) {
        typeCharacters(key->text());
    } else if (!m_typed.isEmpty()) {
        m_typed.chop(1);
        if (!m_wordSearch)
            showTypedSelection();
        else if (!m_typed.isEmpty())
            searchWords(m_typed);
        else
            lineEdit()->clear();
    }
    return true;
}

// Keys in the drop-down: typing goes on searching, and Tab takes the highlighted entry as Enter
// does, then moves on.
bool LookupComboBox::popupKey(QKeyEvent *key)
{
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        const int row = view()->currentIndex().isValid() ? view()->currentIndex().row() : -1;
        // Without a selection to flash (as the Windows style does) the drop-down closes at once
        // and takes no more of the keys typed on.
        view()->selectionModel()->clearSelection();
        hidePopup();
        if (row >= 0)
            choose(row);
        commitEntry();
        focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
        return true;
    }
    if (key->key() == Qt::Key_Delete)
        return false;
    return typeKey(key);
}

void LookupComboBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        commitEntry();
    if (!typeKey(event))
        QComboBox::keyPressEvent(event);
}

bool LookupComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (m_grip && watched == m_grip->parentWidget() && event->type() == QEvent::Resize)
        placeGrip();
    if (watched == view() && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (m_popupOpen && popupKey(key))
            return true;
        // Keys that still reach the closed drop-down (under Wine its window keeps the keyboard
        // for a moment) belong to the control with the focus.
        QWidget *focus = window()->focusWidget();
        if (!view()->isVisible() && focus && focus != view()) {
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(),
                           key->isAutoRepeat(), ushort(key->count()));
            QCoreApplication::sendEvent(focus, &copy);
            return true;
        }
    }
    if (watched == lineEdit()) {
        if (event->type() == QEvent::FocusOut || event->type() == QEvent::FocusIn)
            m_typed.clear();
        if (event->type() == QEvent::KeyPress && typeKey(static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QComboBox::eventFilter(watched, event);
}

bool LookupComboBox::DoShowHint(QString *text, QPoint *globalPos) const
{
    if (!toolTip().trimmed().isEmpty() || currentIndex() < 0)
        return false;
    const QString entry = itemText(currentIndex());
    const int room = width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) - 5;
    if (fontMetrics().horizontalAdvance(entry) <= room)
        return false;
    *text = entry;
    *globalPos = mapToGlobal(QPoint(0, 0)) - QPoint(1, 1);
    return true;
}

bool LookupComboBox::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && toolTip().trimmed().isEmpty()) {
        QString text;
        QPoint pos;
        if (!DoShowHint(&text, &pos)) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        QToolTip::showText(pos, text, this, rect());
        // Qt places a tooltip below the mouse pointer; this one covers the cut text. Laid under
        // the pointer, it must let the pointer through: otherwise the box sees the pointer
        // leave, and Qt hides the tip at once.
        for (QWidget *tip : QApplication::topLevelWidgets()) {
            if (!tip->inherits("QTipLabel") || !tip->isVisible())
                continue;
            if (QWindow *window = tip->windowHandle())
                window->setFlag(Qt::WindowTransparentForInput);
            tip->move(pos);
        }
        return true;
    }
    return QComboBox::event(event);
}

void LookupComboBox::showPopup()
{
    endWordSearch(); // opened by the user: every entry
    QComboBox::showPopup();
    m_popupOpen = true;
    arrangePopup();
}

void LookupComboBox::arrangePopup()
{
    QWidget *popup = view()->parentWidget();
    if (!popup)
        return;
    if (!m_grip) {
        // In the corner, outside the popup's layout: a layout row would take the height of
        // the list's last entry.
        m_grip = new QSizeGrip(popup);
        m_grip->resize(m_grip->sizeHint());
        popup->installEventFilter(this);
    }
    // Wide enough for the longest text, or as the user left it, within the screen.
    const int content = view()->sizeHintForColumn(0) +
                        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view()) +
                        2 * popup->contentsMargins().left() + 2 * view()->frameWidth() + 4;
    int wanted = qMax(qMax(content, m_popupWidth), popup->width());
    const QRect screen = popup->screen() ? popup->screen()->availableGeometry() : QRect();
    if (screen.isValid())
        wanted = qMin(wanted, screen.right() - popup->x() + 1);
    if (wanted > popup->width())
        popup->resize(wanted, popup->height());
    placeGrip();
}

void LookupComboBox::placeGrip()
{
    if (QWidget *popup = m_grip ? m_grip->parentWidget() : nullptr) {
        m_grip->move(popup->width() - m_grip->width(), popup->height() - m_grip->height());
        m_grip->raise();
    }
}

void LookupComboBox::hidePopup()
{
    m_popupOpen = false;
    if (QWidget *popup = view()->parentWidget())
        m_popupWidth = popup->width();
    QComboBox::hidePopup();
    endWordSearch();
    // A choice in the drop-down comes right after it closes.
    m_popupJustClosed = true;
    QMetaObject::invokeMethod(
        this, [this] { m_popupJustClosed = false; }, Qt::QueuedConnection);
}
