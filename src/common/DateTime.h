#pragma once

#include <QDateTime>

namespace tq {

// Date-time values are day counts since 1899-12-30 (integral part: days,
// fraction: time of day), the convention the logger files and graphs use.
using TDateTime = double;

constexpr double kSecondsPerDay = 86400.0;
constexpr double kOneSecond = 1.0 / kSecondsPerDay;

// Local wall-clock conversions; a day count carries no time zone.
TDateTime toDays(const QDateTime& dt);
TDateTime toDays(const QDate& date, const QTime& time);
QDateTime fromDays(TDateTime days);

TDateTime nowDays();

// The calendar date and the time of day of a day count (to the millisecond),
// without building a zoned date-time: cheap enough for long lists.
QDate dateOf(TDateTime days);
QTime timeOf(TDateTime days);

// Builds a day count from calendar fields; false when they do not form a
// valid date and time.
bool encodeDateTime(int year, int month, int day, int hour, int minute, int second, TDateTime& out);

} // namespace tq
