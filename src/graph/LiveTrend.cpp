#include "LiveTrend.h"

#include "GraphStatistics.h"

#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tq {

namespace {
constexpr double kSecond = 1.0 / 86400.0;

void take(LiveTrend::Figures& f, float v, TDateTime t) {
    const auto at = [t](int) { return t; };
    takeExtremes(f, v, 0, at);
    ++f.values;
    if (isAveraged(v)) {
        f.sum += v;
        ++f.count;
    }
}
} // namespace

LiveTrend::LiveTrend(int maxPoints) : m_maxPoints(std::max(16, maxPoints)) {}

LiveTrend::Change LiveTrend::add(TDateTime t, const std::array<float, kSeries>& values) {
    Change change = Change::Grown;
    t += m_shift;
    if (size() > 0 && t < m_a->x.back()) {
        const TDateTime next = m_a->x.back() + kSecond;
        m_shift += next - t;
        t = next;
    }
    // A pause longer than a tick's is a gap, just after the last reading.
    if (size() > 0 && !isGap(size() - 1) && (t - m_a->x.back()) > kGapSeconds * kSecond)
        change = addGap(std::min(m_a->x.back() + kSecond, t));
    if (m_readings == 0) m_first = t;
    m_last = t;
    ++m_readings;
    for (int s = 0; s < kSeries; ++s)
        take(m_overall[size_t(s)], values[size_t(s)], t);
    return push(t, values, false) == Change::Dropped ? Change::Dropped : change;
}

LiveTrend::Change LiveTrend::addGap(TDateTime t) {
    if (size() == 0 || isGap(size() - 1)) return Change::Grown;
    // Never before the last point: the times must ascend.
    return push(std::max(t + m_shift, m_a->x.back()), {kNullReading, kNullReading, kNullReading}, true);
}

LiveTrend::Change LiveTrend::push(TDateTime t, const std::array<float, kSeries>& values, bool gap) {
    Change change = Change::Grown;
    Arrays& a = *m_a;
    if (size() >= m_maxPoints) {
        const size_t drop = size_t(m_maxPoints / 4);
        a.x.erase(a.x.begin(), a.x.begin() + qsizetype(drop));
        for (auto& y : a.y)
            y.erase(y.begin(), y.begin() + qsizetype(drop));
        a.gap.erase(a.gap.begin(), a.gap.begin() + qsizetype(drop));
        m_dropped += qint64(drop);
        change = Change::Dropped;
    }
    if (a.x.size() == a.x.capacity()) {
        // An eighth more at a time rather than double: a month's trend
        // then holds little more room than its readings. The old arrays
        // go back to the system, not to a heap that keeps them resident.
        const size_t room = a.x.size() + std::max<size_t>(a.x.size() / 8, 4096);
        a.x.reserve(room);
        for (auto& y : a.y)
            y.reserve(room);
        a.gap.reserve(room);
#if defined(__GLIBC__)
        malloc_trim(0);
#endif
    }
    a.x.push_back(t);
    for (int s = 0; s < kSeries; ++s)
        a.y[size_t(s)].push_back(values[size_t(s)]);
    a.gap.push_back(gap);
    return change;
}

LiveTrend::Figures LiveTrend::between(int series, int a, int b) const {
    Figures f;
    if (size() == 0) return f;
    a = clampIndex(a, size());
    b = clampIndex(b, size());
    const float* y = this->y(series);
    for (int i = std::min(a, b); i <= std::max(a, b); ++i)
        if (!isGap(i)) take(f, y[i], x()[i]);
    return f;
}

int LiveTrend::nearest(TDateTime t) const {
    const double* xs = x();
    return nearestIndex(size(), t, [xs](int i) { return xs[i]; });
}

size_t LiveTrend::bytes() const {
    size_t n = m_a->x.capacity() * sizeof(double) + m_a->gap.capacity() / 8;
    for (const auto& y : m_a->y)
        n += y.capacity() * sizeof(float);
    return n;
}

} // namespace tq
