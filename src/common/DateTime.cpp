#include "DateTime.h"

#include <cmath>

namespace tq {

namespace {
const QDate kEpoch(1899, 12, 30);
}

TDateTime toDays(const QDate& date, const QTime& time) {
    const double days = static_cast<double>(kEpoch.daysTo(date));
    const double frac = time.isValid() ? time.msecsSinceStartOfDay() / (kSecondsPerDay * 1000.0) : 0.0;
    // Before the epoch the fraction counts away from zero (OLE convention).
    return days >= 0 ? days + frac : days - frac;
}

TDateTime toDays(const QDateTime& dt) { return toDays(dt.date(), dt.time()); }

QDateTime fromDays(TDateTime days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return QDateTime();
    double whole = std::trunc(days);
    double frac = std::fabs(days - whole);
    qint64 ms = std::llround(frac * kSecondsPerDay * 1000.0);
    if (ms >= qint64(kSecondsPerDay) * 1000) {
        ms -= qint64(kSecondsPerDay) * 1000;
        whole += days >= 0 ? 1 : -1;
    }
    const QDate date = kEpoch.addDays(static_cast<qint64>(whole));
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

TDateTime nowDays() { return toDays(QDateTime::currentDateTime()); }

bool encodeDateTime(int year, int month, int day, int hour, int minute, int second, TDateTime& out) {
    const QDate d(year, month, day);
    if (!d.isValid() || !QTime::isValid(hour, minute, second))
        return false;
    out = toDays(d, QTime(hour, minute, second));
    return true;
}

} // namespace tq
