#pragma once

#include <QDate>
#include <QLineEdit>

class CalendarPopup;
class CardTable;
class FieldLink;

// A date box bound to a date field of the current card: the user types the date (day, month and
// year parted by ".", "/" or "-", or six or eight digits in a row; a two-digit year 00-29 is
// 20xx, 30-99 is 19xx) or chooses it from the drop-down calendar (the button, F4 or Alt+Down).
// On leaving, the box shows the date in the short Russian form (dd.MM.yyyy). An empty box is
// no value. Leaving the box with a text that is no date is refused
// with "''<text>'' - неверная дата" and the focus stays.
class FieldDateEdit : public QLineEdit
{
    Q_OBJECT
public:
    FieldDateEdit(int field, QWidget *parent = nullptr);

    void bind(CardTable *table);
    int fieldIndex() const;

    // Whether the text is empty or a date.
    bool isAcceptable() const;
    // Throws the refusal, with the focus in the box, when the text is no date.
    void ensureAcceptable();
    void showCalendar();
    CalendarPopup *calendarPopup() const { return m_popup; }

    // The date a text stands for; invalid when it is none (or empty).
    static QDate parse(const QString &text);
    static QString format(const QDate &date);
    static QString refusal(const QString &text);

protected:
    bool focusNextPrevChild(bool next) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void store(const QString &text);
    void choose(const QDate &date);
    void sync();
    void refuseLeaving();

    FieldLink *m_link;
    CalendarPopup *m_popup = nullptr;
};
