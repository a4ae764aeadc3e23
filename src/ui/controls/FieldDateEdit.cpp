#include "ui/controls/FieldDateEdit.h"

#include "app/CommandGuard.h"
#include "app/ErrorBox.h"
#include "platform/QorError.h"
#include "ui/controls/CalendarPopup.h"
#include "ui/controls/FieldLink.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOption>

namespace {

// The small arrow of a drop-down box, as the style draws it.
QIcon dropArrow(const QWidget *box)
{
    const qreal ratio = box->devicePixelRatioF();
    QPixmap pixmap(QSize(10, 10) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QStyleOption option;
    option.initFrom(box);
    option.rect = QRect(0, 0, 10, 10);
    box->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, box);
    return QIcon(pixmap);
}

} // namespace

FieldDateEdit::FieldDateEdit(int field, QWidget *parent)
    : QLineEdit(parent), m_link(new FieldLink(this, field, [this] { sync(); }))
{
    setMaxLength(10);
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9./-]*")), this));
    connect(this, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!runGuarded([&] { store(text); }))
            sync();
    });

    QAction *drop = addAction(dropArrow(this), QLineEdit::TrailingPosition);
    drop->setObjectName(QStringLiteral("calendarButton"));
    drop->setToolTip(QStringLiteral("Календарь (F4)"));
    connect(drop, &QAction::triggered, this, &FieldDateEdit::showCalendar);
}

void FieldDateEdit::bind(CardTable *table)
{
    m_link->bind(table);
}

int FieldDateEdit::fieldIndex() const
{
    return m_link->fieldIndex();
}

QDate FieldDateEdit::parse(const QString &text)
{
    // Day, month and year: parted by dots, slashes or dashes, or six or eight digits in a row.
    const QString t = text.trimmed();
    static const QRegularExpression parted(
        QStringLiteral("^(\\d{1,2})[./-](\\d{1,2})[./-](\\d{2}|\\d{4})$"));
    static const QRegularExpression digits(QStringLiteral("^(\\d{2})(\\d{2})(\\d{2}|\\d{4})$"));
    QRegularExpressionMatch match = parted.match(t);
    if (!match.hasMatch())
        match = digits.match(t);
    if (!match.hasMatch())
        return QDate();
    int year = match.captured(3).toInt();
    if (match.capturedLength(3) == 2)
        year += year < 30 ? 2000 : 1900;
    return QDate(year, match.captured(2).toInt(), match.captured(1).toInt());
}

QString FieldDateEdit::format(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString FieldDateEdit::refusal(const QString &text)
{
    return QStringLiteral("''%1'' - неверная дата").arg(text);
}

bool FieldDateEdit::isAcceptable() const
{
    return text().trimmed().isEmpty() || parse(text()).isValid();
}

void FieldDateEdit::ensureAcceptable()
{
    if (isAcceptable())
        return;
    setFocus(Qt::OtherFocusReason);
    throw QorError(refusal(text()));
}

void FieldDateEdit::store(const QString &text)
{
    // The card enters editing at the first keystroke. A text that is no date stores none: on
    // the way to "29.02.2017" the box passes "29.02.20", which must not stay behind as 2020.
    m_link->write([&text](const CardField &field) {
        if (const QDate date = parse(text); date.isValid())
            field.setAsDate(date);
        else
            field.clear();
    });
}

void FieldDateEdit::choose(const QDate &date)
{
    setText(format(date));
    if (!runGuarded([&] { store(text()); }))
        sync();
    setFocus(Qt::PopupFocusReason);
}

void FieldDateEdit::sync()
{
    const QDate value = m_link->isBound() ? m_link->field().asDate() : QDate();
    const QString shown = text().trimmed();
    if (shown.isEmpty() ? !value.isValid() : value.isValid() && parse(shown) == value)
        return; // showing it already, as typed
    setText(format(value));
}

void FieldDateEdit::showCalendar()
{
    if (!m_popup) {
        m_popup = new CalendarPopup(this);
        connect(m_popup, &CalendarPopup::chosen, this, &FieldDateEdit::choose);
    }
    m_popup->open(this, parse(text()));
}

void FieldDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4 ||
        (event->key() == Qt::Key_Down && event->modifiers() & Qt::AltModifier)) {
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool FieldDateEdit::focusNextPrevChild(bool next)
{
    if (!isAcceptable()) {
        runGuarded([this] { ensureAcceptable(); });
        return true;
    }
    return QLineEdit::focusNextPrevChild(next);
}

void FieldDateEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    // A date typed in any accepted form is shown in the one form of the list.
    if (const QDate date = parse(text()); date.isValid() && text() != format(date))
        setText(format(date));
    // Refused once the focus has settled elsewhere: a click on a button then comes to nothing.
    if (!isAcceptable())
        QMetaObject::invokeMethod(this, &FieldDateEdit::refuseLeaving, Qt::QueuedConnection);
}

void FieldDateEdit::refuseLeaving()
{
    if (hasFocus() || !isVisible() || !isEnabled() || isAcceptable())
        return;
    setFocus(Qt::OtherFocusReason);
    ErrorBox::showStandard(refusal(text()));
}
