#pragma once

#include "LoggerModel.h"
#include "Outcome.h"
#include "RunStatistics.h"

#include <QLocale>
#include <QPageSize>
#include <QString>

#include <optional>
#include <vector>

namespace tq {

class Chart;

// The recording report: a PDF of one run with its summary, statistics,
// limits and verdict, the graph with the zones beyond the limits, and the
// sample table on the pages after.
namespace report {

struct Run {
    QString source;                   // the file the run comes from, as shown
    int dataSet = 0;                  // 1-based number in a collection file; 0 for none
    std::optional<LoggerModel> model; // none when not known
    TemperatureUnit unit = TemperatureUnit::Celsius;
    bool unitRecorded = true; // false: the user said which (a text file does not)
    int intervalSeconds = 0;
    std::vector<double> times;
    std::vector<float> values;
    // The run's id in the recording archive and the SHA-256 of its stored
    // readings; 0 and empty when it is not archived.
    qint64 archiveId = 0;
    QString readingsSha256;
};

struct Options {
    RunLimits limits;
    double activationEnergyKJ = kDefaultActivationEnergyKJ;
    bool graph = true;
    bool table = true;
    QLocale locale;      // dates, times, numbers and the paper size
    QString createdText; // when the report was made, as shown in the footer
};

// Letter where it is the usual paper, A4 everywhere else.
QPageSize pageSizeFor(const QLocale& locale);
// "2 d 03:04:05", "00:10:00".
QString durationText(double seconds);
// "°C" or "°F".
QString unitText(TemperatureUnit unit);

// What the report checks: empty when fine, else the problem in a sentence.
QString checkOptions(const Options& options);

// Gives the chart the report's look: the zones beyond the limits as bands,
// no cursor or marker lines.
void prepareChart(Chart& chart, const RunLimits& limits);

// Writes the report (the chart, already prepared, is drawn when
// options.graph). The figures are those of runFigures over run. A failure
// leaves any file of that name as it was and names the file and what
// failed. The number of pages.
[[nodiscard]] Result<int> write(const QString& fileName, const Run& run, const Options& options,
                                Chart* chart);

} // namespace report

} // namespace tq
