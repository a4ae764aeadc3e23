#include "platform/Clock.h"

#include <cmath>

namespace {

QDateTime &fixedTime()
{
    static QDateTime fixed;
    return fixed;
}

const QDate kDayZero(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
constexpr double kLastDayNumber = 2958465; // 31 December 9999

} // namespace

namespace Clock {

QDateTime now()
{
    const QDateTime &fixed = fixedTime();
    return fixed.isValid() ? fixed : QDateTime::currentDateTime();
}

void setFixed(const QDateTime &when)
{
    fixedTime() = when;
}

double toDayNumber(const QDate &date)
{
    return double(kDayZero.daysTo(date));
}

double toDayNumber(const QDateTime &when)
{
    return toDayNumber(when.date(), when.time());
}

double toDayNumber(const QDate &date, const QTime &time)
{
    const double days = toDayNumber(date);
    const double fraction = time.msecsSinceStartOfDay() / kMsPerDay;
    // Days before day zero count their time of day away from zero, as the day number
    // has always been read: -1.25 is 29 December 1899, 06:00.
    return days < 0 ? days - fraction : days + fraction;
}

QDateTime fromDayNumber(double dayNumber)
{
    const DateAndTime when = dateAndTimeOf(dayNumber);
    return when.date.isValid() ? QDateTime(when.date, when.time, Qt::UTC) : QDateTime();
}

DateAndTime dateAndTimeOf(double dayNumber)
{
    if (!(std::fabs(dayNumber) <= kLastDayNumber + 1)) // NaN too
        return {};
    const double whole = std::trunc(dayNumber);
    const double fraction = std::fabs(dayNumber - whole);
    qint64 ms = qint64(std::llround(fraction * kMsPerDay));
    qint64 days = qint64(whole);
    if (ms >= qint64(kMsPerDay)) {
        ms -= qint64(kMsPerDay);
        days += dayNumber < 0 ? -1 : 1;
    }
    return {kDayZero.addDays(days), QTime::fromMSecsSinceStartOfDay(int(ms))};
}

double nowDayNumber()
{
    return toDayNumber(now());
}

int todayDayNumber()
{
    return int(toDayNumber(now().date()));
}

} // namespace Clock
