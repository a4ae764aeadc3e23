#pragma once

#include <QDateTime>

// "Now" for the whole program. Tests fix it; everything that needs the date or time asks here.
namespace Clock {

QDateTime now();

// Day number of now: days since 30 December 1899, time of day as the fraction.
double nowDayNumber();

// Today's day number, without the time of day.
int todayDayNumber();

// Fixes the clock at the given local time; an invalid value lets it run again.
void setFixed(const QDateTime &when);

// Converting between date-times and day numbers. A day number is a wall-clock value, a date and a
// time of day with no time zone: fromDayNumber gives it as a UTC QDateTime, whose date() and
// time() are the stored ones, so that an hour the local clock skips in spring (which has no
// local QDateTime) still reads as itself. Invalid beyond the years 1 to 9999.
double toDayNumber(const QDateTime &when);
double toDayNumber(const QDate &date, const QTime &time);
QDateTime fromDayNumber(double dayNumber);
double toDayNumber(const QDate &date);

// The same as fromDayNumber's date() and time(), without the QDateTime: a list of a hundred
// thousand cards shows as many.
struct DateAndTime
{
    QDate date;
    QTime time;
};
DateAndTime dateAndTimeOf(double dayNumber);

} // namespace Clock
