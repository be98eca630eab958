#pragma once

#include "DateTime.h"

#include <QLocale>
#include <QString>

namespace tq {

// The user's regional formats (QLocale() unless a test sets another default).
QString shortDateFormat();
QString longTimeFormat(); // without any time-zone field
QChar decimalSeparator();

QString dateText(TDateTime t);     // short date
QString timeText(TDateTime t);     // long time
QString dateTimeText(TDateTime t); // short date, a space, long time

// Fixed-point value with the regional decimal separator and no grouping,
// e.g. 23.5 (decimals 1) or 23.457 (decimals 3).
QString valueText(double v, int decimals);

// "mm:ss": each part trimmed, prefixed with 0 and cut to its last two digits
// (2 -> 00:02, 90 -> 01:30, 3600 -> 60:00, 8400 -> 40:00).
QString minutesSecondsText(qint64 seconds);

} // namespace tq
