#include "RunStatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace tq {

namespace {
constexpr double kZeroCelsius = 273.15;
constexpr double kZeroFahrenheit = 459.67; // absolute zero is -459.67 F

// Follows one limit through the run, reading by reading.
class ExcursionCounter {
  public:
    explicit ExcursionCounter(int intervalSeconds) : m_interval(intervalSeconds) {}
    void reading(bool beyond, TDateTime time) {
        if (!beyond) {
            m_inRun = false;
            return;
        }
        if (!m_inRun) {
            ++m_e.count;
            if (!m_e.firstStart) m_e.firstStart = time;
            m_inRun = true;
        }
        ++m_e.samplesBeyond;
        m_e.secondsBeyond += m_interval;
        if (m_e.count == 1) m_e.firstSeconds += m_interval;
    }
    const Excursions& result() const { return m_e; }

  private:
    double m_interval;
    bool m_inRun = false;
    Excursions m_e;
};
} // namespace

double toKelvin(double v, TemperatureUnit unit) {
    return unit == TemperatureUnit::Fahrenheit ? (v + kZeroFahrenheit) * 5.0 / 9.0 : v + kZeroCelsius;
}

double fromKelvin(double kelvin, TemperatureUnit unit) {
    return unit == TemperatureUnit::Fahrenheit ? kelvin * 9.0 / 5.0 - kZeroFahrenheit : kelvin - kZeroCelsius;
}

MeanKinetic meanKineticTemperature(std::span<const float> values, TemperatureUnit unit,
                                   double activationEnergyKJ) {
    MeanKinetic m;
    const double a = activationEnergyKJ * 1000.0 / kGasConstant; // E/R in kelvin
    // Two passes over the values rather than a list of exponents: a run can
    // hold millions of readings. The largest exponent -a / k is the warmest
    // reading's.
    double warmest = 0.0;
    for (const float v : values) {
        const double k = isReading(v) ? toKelvin(v, unit) : 0.0;
        if (k <= 0.0) {
            ++m.leftOut;
            continue;
        }
        ++m.used;
        warmest = std::max(warmest, k);
    }
    if (m.used == 0 || !(a > 0.0) || !std::isfinite(a)) return m;
    // ln(mean of exp(x)) taken around the largest x, so no term underflows
    // to zero for cold runs or large activation energies.
    const double top = -a / warmest;
    double sum = 0.0;
    for (const float v : values) {
        const double k = isReading(v) ? toKelvin(v, unit) : 0.0;
        if (k > 0.0) sum += std::exp(-a / k - top);
    }
    const double lnMean = top + std::log(sum / double(m.used));
    m.value = fromKelvin(a / -lnMean, unit);
    return m;
}

RunFigures runFigures(std::span<const double> times, std::span<const float> values, int intervalSeconds,
                      TemperatureUnit unit, const RunLimits& limits, double activationEnergyKJ) {
    RunFigures f;
    const size_t n = std::min(times.size(), values.size());
    f.samples = int(n);
    auto x = [&times](int i) { return times[size_t(i)]; };
    struct Extremes {
        float max = -std::numeric_limits<float>::infinity();
        TDateTime maxTime = 0.0;
        float min = std::numeric_limits<float>::infinity();
        TDateTime minTime = 0.0;
    } e;
    ExcursionCounter below(intervalSeconds), above(intervalSeconds);
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const float v = values[i];
        if (!isReading(v)) {
            ++f.outOfRange;
            if (!f.firstOutOfRange) f.firstOutOfRange = times[i];
            continue;
        }
        ++f.readings;
        sum += v;
        takeExtremes(e, v, int(i), x);
        if (limits.low) below.reading(belowLimit(v, limits.low), times[i]);
        if (limits.high) above.reading(aboveLimit(v, limits.high), times[i]);
    }
    if (f.readings > 0) {
        f.max = e.max;
        f.maxTime = e.maxTime;
        f.min = e.min;
        f.minTime = e.minTime;
        f.average = sum / f.readings;
    }
    f.mkt = meanKineticTemperature(values.first(n), unit, activationEnergyKJ);
    f.below = below.result();
    f.above = above.result();
    return f;
}

} // namespace tq
