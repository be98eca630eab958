#pragma once

// Limits on the live series (temperature, humidity, dew point) and the
// excursions beyond them, kept reading by reading.

#include "DateTime.h"

#include <array>
#include <optional>
#include <vector>

namespace tq {

struct Excursion {
    int series = 0;            // 0 temperature, 1 humidity, 2 dew point
    bool high = false;         // beyond the high limit (else the low one)
    TDateTime start = 0.0;     // the first reading beyond
    TDateTime end = 0.0;       // the first reading back within; 0 while open
    float extreme = 0.0f;      // the highest (lowest) reading beyond
    TDateTime extremeAt = 0.0; // its first time
};

// A reading beyond a limit (the recording report's rule: strictly beyond,
// at the readings' precision) starts an excursion; the first reading back
// within ends it. Gaps and marks are no readings: they neither start nor
// end one. add() is O(1), so a window can replay every reading after the
// limits change (reset(), then add() each again).
class LimitWatch {
  public:
    static constexpr int kSeries = 3;
    struct Limits {
        std::optional<float> low, high;
    };

    // Takes effect from the next reading; series outside 0..2 are ignored.
    void setLimits(int series, Limits limits);
    Limits limits(int series) const;
    // Forgets every excursion; the limits stay.
    void reset();
    // Readings come in time order.
    void add(int series, TDateTime t, float v);

    const std::vector<Excursion>& excursions() const { return m_excursions; }
    bool outside() const { return m_open > 0; }
    // The start of the earliest open excursion; 0 when none is open.
    TDateTime outsideSince() const;
    // The time at least one limit was broken: excursions that overlap (two
    // series at once) count once; open ones up to the latest reading.
    double secondsOutside() const;

  private:
    void close(int series, TDateTime t);

    struct Series {
        Limits limits;
        int open = -1; // index of its open excursion
    };
    std::array<Series, kSeries> m_series;
    std::vector<Excursion> m_excursions;
    int m_open = 0;                // open excursions
    TDateTime m_outsideFrom = 0.0; // when the current stretch outside began
    double m_closedDays = 0.0;     // stretches outside that ended
    TDateTime m_latest = 0.0;
};

} // namespace tq
