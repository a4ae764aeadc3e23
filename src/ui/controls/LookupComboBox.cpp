#include "ui/controls/LookupComboBox.h"

#include "data/ReferenceList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
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

    connect(this, &QComboBox::activated, this, [this](int) {
        m_typed.clear();
        emit keyChosen(key());
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
}

QString LookupComboBox::key() const
{
    const int index = currentIndex();
    return m_list && index >= 0 && index < m_list->count() ? m_list->at(index).key : QString();
}

bool LookupComboBox::setKey(const QString &key)
{
    const int index = m_list && !key.isEmpty() ? m_list->indexOfKey(key) : -1;
    setCurrentIndex(index);
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

bool LookupComboBox::typeCharacters(const QString &text)
{
    bool changed = false;
    for (const QChar c : text) {
        if (!c.isPrint())
            continue;
        const QString wanted = m_typed + c;
        for (int i = 0; i < count(); ++i) {
            const QString entry = itemText(i);
            if (ReferenceList::equalIgnoringCase(QStringView(entry).left(wanted.size()), wanted)) {
                m_typed = wanted;
                choose(i);
                changed = true;
                break;
            }
        }
    }
    if (changed)
        showTypedSelection();
    return changed;
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
        if (m_clearable) {
            m_typed.clear();
            choose(-1);
        }
        return true;
    }
    if (key->key() == Qt::Key_Backspace && mods == Qt::NoModifier) {
        if (!m_typed.isEmpty()) {
            m_typed.chop(1);
            showTypedSelection();
        }
        return true;
    }
    if (mods == Qt::NoModifier && !key->text().isEmpty() && key->text().at(0).isPrint()) {
        typeCharacters(key->text());
        return true;
    }
    return false;
}

void LookupComboBox::keyPressEvent(QKeyEvent *event)
{
    if (!typeKey(event))
        QComboBox::keyPressEvent(event);
}

bool LookupComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (m_grip && watched == m_grip->parentWidget() && event->type() == QEvent::Resize)
        placeGrip();
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
    QComboBox::showPopup();
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
    if (QWidget *popup = view()->parentWidget())
        m_popupWidth = popup->width();
    QComboBox::hidePopup();
}
