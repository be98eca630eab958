#pragma once

// The values that stand in a series where there is no reading: the null
// value of a gap, and the marks the memory decoder writes for a sample
// beyond what the sensor can measure. Everything that stores, draws, writes
// or counts readings uses these names, so the marks agree everywhere.

#include <cmath>

namespace tq {

// A point without a reading (a gap): the chart does not draw it, text files
// read "OL" and unreadable values as it, the compare window fills with it.
constexpr float kNullReading = 9999.0f;

// The decoder marks a sample below kLowestReading as kLowMark and one above
// kHighestReading as kHighMark; the limits themselves are readings.
constexpr float kLowestReading = -200.0f;
constexpr float kHighestReading = 1370.0f;
constexpr float kLowMark = -9999.0f;
constexpr float kHighMark = 9999.0f;

// Beyond +-kOutOfRangeLimit (strictly) a value is out of range: it reads
// "OL" and stays out of every sum. The marks and the null value are such.
constexpr float kOutOfRangeLimit = 3000.0f;

// The high mark is the null value too: to the chart both are gaps.
inline bool isGap(float v) {
    return v == kNullReading;
}
inline bool isMark(float v) {
    return v == kLowMark || v == kHighMark;
}
inline bool isOutOfRange(float v) {
    return v > kOutOfRangeLimit || v < -kOutOfRangeLimit;
}
// A value that is a reading: finite and not out of range.
inline bool isReading(float v) {
    return std::isfinite(v) && !isOutOfRange(v);
}
// What the graph windows' averages take: strictly inside the limit, so a
// value of exactly +-3000 shows as a number but stays out of the average.
inline bool isAveraged(float v) {
    return v > -kOutOfRangeLimit && v < kOutOfRangeLimit;
}

// A decoded value as every view shows it: marked when the sensor could not
// measure it. A non-number is left as it is.
inline float markedValue(float value) {
    if (value < kLowestReading) return kLowMark;
    if (value > kHighestReading) return kHighMark;
    return value;
}

} // namespace tq
