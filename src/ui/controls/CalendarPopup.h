#pragma once

#include <QDate>
#include <QFrame>

class QCalendarWidget;

// The drop-down calendar of a date box: a month with Saturday and Sunday marked as weekend
// days. A click or Enter chooses the day; Esc or a click outside closes it unchosen.
class CalendarPopup : public QFrame
{
    Q_OBJECT
public:
    explicit CalendarPopup(QWidget *parent = nullptr);

    // Opens below anchor (above it when the screen has no room below), on date or on today.
    void open(QWidget *anchor, const QDate &date);
    QCalendarWidget *calendar() const { return m_calendar; }

signals:
    void chosen(const QDate &date);

private:
    QCalendarWidget *m_calendar;
};
