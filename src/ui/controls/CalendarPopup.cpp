#include "ui/controls/CalendarPopup.h"

#include "platform/Clock.h"

#include <QCalendarWidget>
#include <QScreen>
#include <QTextCharFormat>
#include <QVBoxLayout>

CalendarPopup::CalendarPopup(QWidget *parent)
    : QFrame(parent, Qt::Popup), m_calendar(new QCalendarWidget(this))
{
    setObjectName(QStringLiteral("calendarPopup"));
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_calendar);

    m_calendar->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setGridVisible(true);
    QTextCharFormat weekend = m_calendar->weekdayTextFormat(Qt::Saturday);
    weekend.setForeground(Qt::red);
    m_calendar->setWeekdayTextFormat(Qt::Saturday, weekend);
    m_calendar->setWeekdayTextFormat(Qt::Sunday, weekend);

    // A click on a day or Enter chooses it; moving through months does not.
    const auto choose = [this](const QDate &date) {
        if (!isVisible()) // a double click chooses once
            return;
        hide();
        emit chosen(date);
    };
    connect(m_calendar, &QCalendarWidget::activated, this, choose);
    connect(m_calendar, &QCalendarWidget::clicked, this, choose);
}

void CalendarPopup::open(QWidget *anchor, const QDate &date)
{
    const QDate shown = date.isValid() ? date : Clock::now().date();
    m_calendar->setSelectedDate(shown);
    m_calendar->setCurrentPage(shown.year(), shown.month());
    adjustSize();

    QPoint at = anchor->mapToGlobal(QPoint(0, anchor->height()));
    if (const QScreen *screen = anchor->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.y() + height() > room.bottom())
            at.setY(anchor->mapToGlobal(QPoint(0, 0)).y() - height());
        at.setX(qBound(room.left(), at.x(), qMax(room.left(), room.right() - width())));
    }
    move(at);
    show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}
