#pragma once

#include "Outcome.h"

// Several recording runs side by side: how their times line up, the one
// unit they are shown in, their figures, the difference of two of them and
// the wide CSV that holds them all. Plain code, shared by the compare
// window and tq880-cli; no widgets.

#include "DataSetCollection.h"
#include "ReadingMarks.h"
#include "RunStatistics.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QIODevice;

namespace tq {

class RegionalFormats;

namespace compare {

// How the table, the labels and the CSV write times and values.
struct TextFormats {
    std::function<QString(TDateTime)> date;
    std::function<QString(TDateTime)> dateTime;
    std::function<QString(double, int)> value; // value, decimals
    // The user's regional formats (the window).
    static TextFormats regional(const RegionalFormats& formats);
    // 2024-06-03 08:00:00 and a decimal point (scripts, tq880-cli).
    static TextFormats iso();
};

// By clock: every run at its own times. By elapsed time: each run from
// its own first reading on, as if they had all started together.
enum class Align { Clock, Elapsed };

struct Run {
    QString source;  // the file, or "Archive run ID" with its name
    int dataSet = 0; // from 1; 0 when the source holds just this run
    int intervalSeconds = 0;
    TemperatureUnit unit = TemperatureUnit::Celsius;
    // A .txt or .csv file does not say its unit: it is taken as °C.
    bool unitKnown = true;
    SampleSlice samples; // times in order

    int count() const { return samples.count; }
    TDateTime start() const { return samples.count > 0 ? samples.times[0] : 0.0; }
    TDateTime end() const { return samples.count > 0 ? samples.times[samples.count - 1] : 0.0; }
    // "source, set K, start date" for the legend and the table.
    QString label(const TextFormats& formats) const;
};

// What is subtracted from a run's times to draw them: 0 by clock, its
// start by elapsed time (the X values then count days since the start).
double offset(const Run& run, Align align);

QString unitText(TemperatureUnit unit); // "°C" / "°F"

// A value shown in another unit. Out-of-range marks stay marks: a gap is
// never converted into a reading.
float displayValue(float v, TemperatureUnit from, TemperatureUnit to);
// The run's values in unit `to`: a converted copy, or none (nullopt) when
// the run already is in that unit and can be shown as it is.
std::optional<std::vector<float>> convertedValues(const Run& run, TemperatureUnit to);

// The readings of a run whose drawn X lies in [fromX, toX]: [first, last).
std::pair<int, int> indexRange(const Run& run, Align align, double fromX, double toX);

// One row of the statistics table.
struct Row {
    TDateTime start = 0.0;
    TDateTime end = 0.0;
    int intervalSeconds = 0;
    RunFigures figures; // in the shown unit, times by clock
};
// The run's figures in unit `to`, over all its readings or those in
// [fromX, toX] of drawn X.
Row row(const Run& run, TemperatureUnit to, const RunLimits& limits, Align align = Align::Clock,
        std::optional<std::pair<double, double>> range = std::nullopt);

// The columns of the table and one row's cells. Limits columns only when
// limits are set. Values with one decimal, MKT and average with two.
QStringList header(const RunLimits& limits);
QStringList cells(const QString& label, const Row& row, const RunLimits& limits, const TextFormats& formats);

// A - B at A's reading times: where B has a reading at the same time (to
// half a second), that one; between two of B's readings, B interpolated
// linearly. Where either has no reading (a gap, an out-of-range mark, or
// outside B's span) the difference is a gap too.
enum class Method { SameTimes, Linear };
struct Difference {
    std::vector<double> x; // drawn X of A's readings
    std::vector<float> y;  // A - B, or the null value 9999.0 for a gap
    Method method = Method::SameTimes;
};
Difference difference(const Run& a, const Run& b, Align align, TemperatureUnit unit);
QString methodText(Method method);

// The difference's maximum, minimum (with their drawn X) and average, over
// all of it or over [fromX, toX].
struct DifferenceFigures {
    int points = 0; // differences that are readings
    float max = 0.0f, min = 0.0f;
    double maxX = 0.0, minX = 0.0;
    double average = 0.0;
};
DifferenceFigures figures(const Difference& d, std::optional<std::pair<double, double>> range = std::nullopt);
// Its row of the table: count, max and min with their times by clock
// (offsetA: the offset of run A), average; two decimals.
QStringList differenceCells(const QString& label, const DifferenceFigures& f, double offsetA,
                            const RunLimits& limits, const TextFormats& formats);

constexpr float kGap = kNullReading;

// The wide CSV: a header ("time" by clock, "elapsed_s" by elapsed time,
// then each run's label and unit), then one line per time any run has a
// reading at: the time, and per run its value, or nothing where it has no
// reading then. The difference, when given, is the last column. CR LF.
// False when the device refuses a write.
bool writeWideCsv(QIODevice& out, const std::vector<Run>& runs, Align align, TemperatureUnit unit,
                  const Difference* diff, const TextFormats& formats);
// The same into a file written whole or not at all.
[[nodiscard]] Outcome writeWideCsvFile(const QString& fileName, const std::vector<Run>& runs, Align align,
                                       TemperatureUnit unit, const Difference* diff,
                                       const TextFormats& formats);

} // namespace compare
} // namespace tq
