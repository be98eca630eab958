#pragma once

// The readings of the live trend, held once: one X array of reading times
// and a Y array per series (temperature, humidity, dew point), which the
// chart views instead of copying. A reading a second for a month is 2.6
// million readings at 20 bytes each.
//
// A gap point (the null value in every series) breaks the line where no
// reading came: when the link was lost or the device lent to a command,
// and whenever more than kGapSeconds passed between two readings. Gap
// points are marked, so no statistic takes them for an "OL" reading.

#include "DateTime.h"
#include "ReadingMarks.h"

#include <QtGlobal>
#include <array>
#include <memory>
#include <vector>

namespace tq {

class LiveTrend {
  public:
    static constexpr int kSeries = 3; // temperature, humidity, dew point
    // A tick comes once a second, a little late at times; a pause this long
    // is not a tick.
    static constexpr double kGapSeconds = 2.5;
    // What the chart can show; the oldest quarter makes room beyond it.
    static constexpr int kDefaultMaxPoints = 16 * 1024 * 1024 - 1024;

    explicit LiveTrend(int maxPoints = kDefaultMaxPoints);

    // How the arrays changed: grown at the end (perhaps moved), or the
    // oldest points dropped (every index shifted).
    enum class Change { Grown, Dropped };
    // A reading; values may be marks (shown as gaps) or the null value.
    // Times never run backwards: when the wall clock is set back (the
    // clocks change, a time server corrects it) the trend's time runs on
    // from its last reading, a second later, as a logger's own clock does,
    // and keeps that shift from then on.
    Change add(TDateTime t, const std::array<float, kSeries>& values);
    // A gap at t, unless the trend is empty or already ends with one.
    Change addGap(TDateTime t);

    int size() const { return int(m_a->x.size()); }
    const double* x() const { return m_a->x.data(); }
    const float* y(int series) const { return m_a->y[size_t(series)].data(); }
    bool isGap(int i) const { return m_a->gap[size_t(i)]; }
    // Keeps the arrays alive for whoever views them (the chart).
    std::shared_ptr<const void> owner() const { return m_a; }

    // Since the first reading, whatever was dropped since: the extremes
    // take marks too (they read "OL"), the average only readings.
    struct Figures {
        float max = -99999.0f;
        TDateTime maxTime = 0.0;
        float min = 99999.0f;
        TDateTime minTime = 0.0;
        double sum = 0.0;
        qint64 count = 0;  // readings in the average
        qint64 values = 0; // readings and marks
    };
    const Figures& overall(int series) const { return m_overall[size_t(series)]; }
    qint64 readings() const { return m_readings; }
    TDateTime firstTime() const { return m_first; }
    TDateTime lastTime() const { return m_last; }
    qint64 droppedPoints() const { return m_dropped; }

    // The same figures between points a and b (either order, clamped),
    // leaving gap points out.
    Figures between(int series, int a, int b) const;
    // The point nearest to t (0 for an empty trend).
    int nearest(TDateTime t) const;

    // Resident bytes of the arrays, for the benchmark.
    size_t bytes() const;

  private:
    struct Arrays {
        std::vector<double> x;
        std::array<std::vector<float>, kSeries> y;
        std::vector<bool> gap;
    };
    Change push(TDateTime t, const std::array<float, kSeries>& values, bool gap);

    std::shared_ptr<Arrays> m_a = std::make_shared<Arrays>();
    int m_maxPoints;
    std::array<Figures, kSeries> m_overall;
    qint64 m_readings = 0;
    qint64 m_dropped = 0;
    TDateTime m_first = 0.0;
    TDateTime m_last = 0.0;
    double m_shift = 0.0; // days added to the wall clock's times
};

} // namespace tq
