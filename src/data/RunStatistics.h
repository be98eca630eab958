#pragma once

// The arithmetic of a recording run that the graph windows' statistics
// boxes and the recording report share: what counts as a reading, the
// extremes with their first time, the overall pass of the windows, and the
// report's figures (average, mean kinetic temperature, limit excursions).
// Plain code over a series given by accessors or arrays; no widgets.

#include "DateTime.h"
#include "ReadingMarks.h"

#include <QtGlobal>

#include <cmath>
#include <optional>
#include <span>

namespace tq {

// Keeps the highest and lowest value of s with their times. Strict
// comparisons: the earliest point wins a tie.
template <class S, class XAt> void takeExtremes(S& s, float v, int i, XAt& x) {
    if (v > s.max) {
        s.max = v;
        s.maxTime = x(i);
    }
    if (v < s.min) {
        s.min = v;
        s.minTime = x(i);
    }
}

// What the overall statistics boxes of a graph window show: extremes over
// every point (marks included, so they read "OL"), the sum and count of the
// values strictly between -3000 and 3000.
struct OverallStatistics {
    int points = 0;
    TDateTime first = 0.0; // X of point 0
    TDateTime last = 0.0;  // X of the last point
    // Seeds, not marks: a series of nothing but low (high) marks keeps the
    // seed as its maximum (minimum), with time 0.
    float max = -9999.0f;
    TDateTime maxTime = 0.0;
    float min = 9999.0f;
    TDateTime minTime = 0.0;
    double sum = 0.0; // in-range values only
    int count = 0;
};

template <class XAt, class YAt> OverallStatistics overallStatistics(int points, XAt x, YAt y) {
    OverallStatistics s;
    s.points = points;
    if (points <= 0) return s;
    s.first = x(0);
    s.last = x(points - 1);
    for (int i = 0; i < points; ++i) {
        const float v = y(i);
        takeExtremes(s, v, i, x);
        if (isAveraged(v)) {
            s.sum += v;
            ++s.count;
        }
    }
    return s;
}

enum class TemperatureUnit { Celsius, Fahrenheit };
double toKelvin(double v, TemperatureUnit unit);
double fromKelvin(double kelvin, TemperatureUnit unit);

// The activation energy of the mean kinetic temperature unless one is given.
constexpr double kDefaultActivationEnergyKJ = 83.144;
// Molar gas constant, J/(mol K).
constexpr double kGasConstant = 8.314462618;

struct MeanKinetic {
    std::optional<double> value; // in the run's unit; none without a usable reading
    int used = 0;                // readings that entered the formula
    int leftOut = 0;             // out-of-range marks and values at or below absolute zero
};
// MKT = (E/R) / -ln(mean of exp(-E / (R T))), T in kelvin, activation
// energy E in kJ/mol.
MeanKinetic meanKineticTemperature(std::span<const float> values, TemperatureUnit unit,
                                   double activationEnergyKJ = kDefaultActivationEnergyKJ);

// One side of the limits. A reading beyond the limit is strictly above the
// high one or strictly below the low one; a reading equal to a limit is
// inside. A run of consecutive readings beyond is one excursion; marks
// (out-of-range values) between them neither end nor split a run, and an
// inside reading ends it. Each reading beyond counts one sampling interval
// of time beyond.
struct Excursions {
    int count = 0;
    int samplesBeyond = 0;
    double secondsBeyond = 0.0;
    std::optional<TDateTime> firstStart; // time of the first excursion's first reading
    double firstSeconds = 0.0;           // that excursion's time beyond
};

// Whether a reading is beyond a limit: strictly, and compared at the
// precision of the samples (a limit typed as 8.1 equals a reading of 8.1).
inline bool belowLimit(float v, const std::optional<double>& low) {
    return low && v < float(*low);
}
inline bool aboveLimit(float v, const std::optional<double>& high) {
    return high && v > float(*high);
}

struct RunLimits {
    std::optional<double> low;
    std::optional<double> high;
    bool any() const { return low || high; }
};

// The figures of a recording report for one run.
struct RunFigures {
    int samples = 0;
    int readings = 0;
    int outOfRange = 0; // marks (and non-finite values), left out of every figure
    std::optional<TDateTime> firstOutOfRange;
    // Over readings only; meaningless when readings is 0.
    float max = 0.0f;
    TDateTime maxTime = 0.0;
    float min = 0.0f;
    TDateTime minTime = 0.0;
    double average = 0.0;
    MeanKinetic mkt;
    Excursions below; // beyond the low limit
    Excursions above; // beyond the high limit
    bool withinLimits() const { return below.count == 0 && above.count == 0; }
};

// times and values of equal length, in time order.
RunFigures runFigures(std::span<const double> times, std::span<const float> values, int intervalSeconds,
                      TemperatureUnit unit, const RunLimits& limits,
                      double activationEnergyKJ = kDefaultActivationEnergyKJ);

} // namespace tq
