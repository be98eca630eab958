#include "LiveValues.h"

#include "MemoryDecoder.h"

#include <cmath>

namespace tq {

namespace {
constexpr double kMagnusA = 17.62;
constexpr double kMagnusB = 243.12; // C

bool isHumidity(float h) {
    return h >= 0.0f && h <= 100.0f;
}
} // namespace

float dewPoint(float temperature, float humidity, bool fahrenheit) {
    if (!isReading(temperature) || !isHumidity(humidity) || humidity <= 0.0f) return kNullReading;
    const double t = fahrenheit ? (double(temperature) - 32.0) * 5.0 / 9.0 : double(temperature);
    if (t <= -kMagnusB) return kNullReading;
    const double gamma = std::log(double(humidity) / 100.0) + kMagnusA * t / (kMagnusB + t);
    const double dew = kMagnusB * gamma / (kMagnusA - gamma);
    const double shown = fahrenheit ? dew * 9.0 / 5.0 + 32.0 : dew;
    return std::isfinite(shown) ? float(shown) : kNullReading;
}

LiveSample liveSample(TDateTime time, int model, qint16 primary, qint16 secondary, bool fahrenheit) {
    LiveSample s;
    s.time = time;
    s.fahrenheit = fahrenheit;
    // The same marks as a recorded sample of this count.
    s.temperature = sampleValue(primary);
    if (model != 862) return s;
    const float h = float(secondary * 0.1);
    s.humidity = isHumidity(h) ? h : kNullReading;
    const float dew = dewPoint(s.temperature, s.humidity, fahrenheit);
    s.dewPoint = isReading(dew) ? float(std::round(double(dew) * 10.0) / 10.0) : kNullReading;
    return s;
}

} // namespace tq
