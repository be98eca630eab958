#pragma once

// QCustomPlot's date-time ticker counts Unix seconds; the chart's X values
// are wall-clock day counts. The axis ticker works in UTC, so the seconds
// built here show the wall-clock numbers unchanged, with no zone shift.

namespace tq {

constexpr double kUnixEpochDays = 25569.0; // 1970-01-01 as a day count
constexpr double kDaySeconds = 86400.0;

constexpr double daysToAxis(double days) {
    return (days - kUnixEpochDays) * kDaySeconds;
}
constexpr double axisToDays(double seconds) {
    return seconds / kDaySeconds + kUnixEpochDays;
}

} // namespace tq
