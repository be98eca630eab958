#pragma once

#include "RunStatistics.h"

#include <QChar>
#include <QString>

namespace tq {

class Chart;
class Progress;
class TfrmGraph;

// Writes points first ... last (1-based, inclusive, already clipped) of the
// chart's series 0 as a text file with this separator. The file is replaced
// only when the write ends (a cancel keeps the lines written so far); a
// failure leaves any previous file as it was. Returns the lines written.
// Throws UserError naming the file.
qint64 WriteTextFile(const Chart& chart, const QString& fileName, QChar separator, qint64 first, qint64 last,
                     Progress& progress);

// The same for the self-describing CSV of values in this unit.
qint64 WriteIsoCsvFile(const Chart& chart, const QString& fileName, TemperatureUnit unit, qint64 first,
                       qint64 last, Progress& progress);

struct TextFileOpen {
    qint64 points = 0; // points read into the chart
    bool cancelled = false;
    bool cut = false;    // the file held more lines than a graph can show
    qint64 cutLines = 0; // lines longer than a text line may be, read cut
};
// Fills the chart of a new graph window from a text file: a first pass for
// the number of readings and the time scale, the graph prepared for that
// many points, then a second pass for the points. A file that starts with
// the self-describing CSV's header is read as one, whatever the separator;
// any other in the regional formats. Throws UserError naming the file when
// it cannot be read or holds no readings.
TextFileOpen ReadTextFile(TfrmGraph& window, const QString& fileName, QChar separator, Progress& progress);

} // namespace tq
