#include "LimitWatch.h"

#include "ReadingMarks.h"
#include "RunStatistics.h"

#include <algorithm>

namespace tq {

void LimitWatch::setLimits(int series, Limits limits) {
    if (series >= 0 && series < kSeries) m_series[size_t(series)].limits = limits;
}

LimitWatch::Limits LimitWatch::limits(int series) const {
    return series >= 0 && series < kSeries ? m_series[size_t(series)].limits : Limits{};
}

void LimitWatch::reset() {
    for (Series& s : m_series)
        s.open = -1;
    m_excursions.clear();
    m_open = 0;
    m_outsideFrom = 0.0;
    m_closedDays = 0.0;
    m_latest = 0.0;
}

void LimitWatch::close(int series, TDateTime t) {
    Series& s = m_series[size_t(series)];
    m_excursions[size_t(s.open)].end = t;
    s.open = -1;
    // A clock set back must not make the time outside shrink.
    if (--m_open == 0) m_closedDays += std::max(0.0, t - m_outsideFrom);
}

void LimitWatch::add(int series, TDateTime t, float v) {
    if (series < 0 || series >= kSeries || !isReading(v)) return;
    m_latest = std::max(m_latest, t);
    Series& s = m_series[size_t(series)];
    const std::optional<double> low = s.limits.low, high = s.limits.high;
    const bool above = aboveLimit(v, high);
    const bool below = !above && belowLimit(v, low);
    if (s.open >= 0) {
        Excursion& e = m_excursions[size_t(s.open)];
        if (e.high ? above : below) {
            if (e.high ? v > e.extreme : v < e.extreme) {
                e.extreme = v;
                e.extremeAt = t;
            }
            return;
        }
        close(series, t);
    }
    if (!above && !below) return;
    s.open = int(m_excursions.size());
    m_excursions.push_back(Excursion{series, above, t, 0.0, v, t});
    if (m_open++ == 0) m_outsideFrom = t;
}

TDateTime LimitWatch::outsideSince() const {
    TDateTime since = 0.0;
    for (const Series& s : m_series)
        if (s.open >= 0 && (since == 0.0 || m_excursions[size_t(s.open)].start < since))
            since = m_excursions[size_t(s.open)].start;
    return since;
}

double LimitWatch::secondsOutside() const {
    double days = m_closedDays;
    if (m_open > 0) days += std::max(0.0, m_latest - m_outsideFrom);
    return days * kSecondsPerDay;
}

} // namespace tq
