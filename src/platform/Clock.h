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

// Converting between local date-times and day numbers.
double toDayNumber(const QDateTime &when);
QDateTime fromDayNumber(double dayNumber); // invalid beyond the years 1 to 9999
double toDayNumber(const QDate &date);

} // namespace Clock
