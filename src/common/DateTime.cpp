#include "DateTime.h"

#include <cmath>

namespace tq {

namespace {
// 1899-12-30 as a constant, so day counts work during static initialisation too.
constexpr QDate kEpoch = QDate::fromJulianDay(2415019);
} // namespace

TDateTime toDays(const QDate& date, const QTime& time) {
    const double days = static_cast<double>(kEpoch.daysTo(date));
    const double frac = time.isValid() ? time.msecsSinceStartOfDay() / (kSecondsPerDay * 1000.0) : 0.0;
    // Before the epoch the fraction counts away from zero (OLE convention).
    return days >= 0 ? days + frac : days - frac;
}

TDateTime toDays(const QDateTime& dt) {
    return toDays(dt.date(), dt.time());
}

namespace {
// Whole days and milliseconds of the day; false for values no calendar holds.
bool split(TDateTime days, qint64& whole, qint64& ms) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6) return false;
    double w = std::trunc(days);
    ms = std::llround(std::fabs(days - w) * kSecondsPerDay * 1000.0);
    if (ms >= qint64(kSecondsPerDay) * 1000) {
        ms -= qint64(kSecondsPerDay) * 1000;
        w += days >= 0 ? 1 : -1;
    }
    whole = static_cast<qint64>(w);
    return true;
}
} // namespace

QDate dateOf(TDateTime days) {
    qint64 whole = 0, ms = 0;
    return split(days, whole, ms) ? kEpoch.addDays(whole) : QDate();
}

QTime timeOf(TDateTime days) {
    qint64 whole = 0, ms = 0;
    return split(days, whole, ms) ? QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)) : QTime();
}

QDateTime fromDays(TDateTime days) {
    qint64 whole = 0, ms = 0;
    if (!split(days, whole, ms)) return QDateTime();
    return QDateTime(kEpoch.addDays(whole), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

TDateTime nowDays() {
    return toDays(QDateTime::currentDateTime());
}

bool encodeDateTime(int year, int month, int day, int hour, int minute, int second, TDateTime& out) {
    const QDate d(year, month, day);
    if (!d.isValid() || !QTime::isValid(hour, minute, second)) return false;
    out = toDays(d, QTime(hour, minute, second));
    return true;
}

} // namespace tq
