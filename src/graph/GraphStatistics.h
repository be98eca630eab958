#pragma once

// The texts of the statistics boxes, the cursor statistics and the pointer
// search, as plain functions over a series given by two accessors
// (x(i) -> day count, y(i) -> value), so they run on chart data and on plain
// arrays alike. The overall pass itself is shared with the recording
// report (RunStatistics in data).

#include "DateTime.h"
#include "RunStatistics.h"

#include <QString>

namespace tq {

// "OL" for an out-of-range value, else the value with 1 decimal.
QString rangedValueText(float v);
// What an average box shows when no value was a reading.
QString noAverageText();

// The texts of the overall statistics boxes.
struct OverallTexts {
    QString startTime;
    QString samplingRate; // mm:ss
    QString dataNo;
    QString max; // value@date-time or "OL"
    QString min;
    QString avg; // 3 decimals or "****"
};

// Seconds per point: the span divided by the number of points (not of
// intervals), rounded; 0 for no points or a span running backwards.
qint64 samplingRateSeconds(const OverallStatistics& s);
OverallTexts overallTexts(const OverallStatistics& s);
// What the boxes show before any data (and for a chart without points).
OverallTexts emptyOverallTexts();

struct CursorStatistics {
    int a = 0;
    int b = 0;
    float valueA = 0.0f;
    TDateTime timeA = 0.0;
    float valueB = 0.0f;
    TDateTime timeB = 0.0;
    float max = -99999.0f;
    TDateTime maxTime = 0.0;
    float min = 99999.0f;
    TDateTime minTime = 0.0;
    double average = 0.0; // of the in-range values; 0 when there are none
    int readings = 0;     // the in-range values between the cursors
};

// Clamps an index into 0 ... points - 1 (0 when there are no points).
int clampIndex(int i, int points);

// Statistics between the cursors at indices a and b, in either order; the
// indices are clamped to the series first. The extremes take every value
// (a mark among them reads "OL", as in the overall boxes); the average
// takes only the values strictly between -3000 and 3000, so that one
// out-of-range mark cannot pull it thousands of degrees off. Requires
// points >= 1.
template <class XAt, class YAt> CursorStatistics cursorStatistics(int points, int a, int b, XAt x, YAt y) {
    CursorStatistics s;
    s.a = clampIndex(a, points);
    s.b = clampIndex(b, points);
    const int lo = s.a < s.b ? s.a : s.b;
    const int hi = s.a < s.b ? s.b : s.a;
    double sum = 0.0;
    for (int i = lo; i <= hi; ++i) {
        const float v = y(i);
        if (isAveraged(v)) {
            sum += v;
            ++s.readings;
        }
        takeExtremes(s, v, i, x);
    }
    s.average = s.readings > 0 ? sum / s.readings : 0.0;
    s.valueA = y(s.a);
    s.timeA = x(s.a);
    s.valueB = y(s.b);
    s.timeB = x(s.b);
    return s;
}

// Index of the point nearest to value v by binary search over ascending X;
// a value exactly half-way takes the later point, one right of the last
// point takes the last point. 0 when there are no points.
template <class XAt> int nearestIndex(int points, double v, XAt x) {
    if (points <= 0) return 0;
    int lo = 0;
    int hi = points;
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        const double xm = x(mid);
        if (xm > v)
            hi = mid;
        else if (xm < v)
            lo = mid;
        else
            lo = hi = mid;
    }
    // The search can end one past the last point.
    if (hi > points - 1) hi = points - 1;
    return v - x(lo) >= x(hi) - v ? hi : lo;
}

// Where selectPoint puts the cursors: one third and two thirds of the points.
inline int cursorAIndex(int points) {
    return points / 3;
}
inline int cursorBIndex(int points) {
    return (2 * points) / 3;
}

} // namespace tq
