#pragma once

#include "RunStatistics.h"

#include "DateTime.h"
#include "Outcome.h"
#include "TextFile.h"

#include <QChar>
#include <QString>

#include <functional>
#include <vector>

namespace tq {

class Chart;
class Progress;
class TfrmGraph;

// A copy of a chart's series 0, points 0 ... last - 1, so a file can be
// written from it on another thread while the chart lives on.
class TextPoints : public PointSource {
  public:
    static TextPoints of(const Chart& chart, qint64 last);
    double x(qint64 i) const override { return i >= 0 && i < count() ? m_x[size_t(i)] : 0.0; }
    float y(qint64 i) const override { return i >= 0 && i < count() ? m_y[size_t(i)] : textfile::kNullValue; }
    qint64 count() const { return qint64(m_x.size()); }

  private:
    std::vector<double> m_x;
    std::vector<float> m_y;
};

// Writes points first ... last (1-based, inclusive, already clipped) of the
// chart's series 0 as a text file with this separator. The file is replaced
// only when the write ends; a cancel or a failure leaves any previous file
// as it was. Returns the lines written. Throws UserError naming the file.
// The TextPoints forms touch no widget and may run on any thread.
qint64 WriteTextFile(const TextPoints& points, const QString& fileName, QChar separator, qint64 first,
                     qint64 last, Progress& progress);
qint64 WriteIsoCsvFile(const TextPoints& points, const QString& fileName, TemperatureUnit unit, qint64 first,
                       qint64 last, Progress& progress);
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
// the self-describing CSV's header is read as one, whatever the separator
// (a live recording's humidity as series 1 where the window shows two);
// any other in the regional formats. A file that cannot be read or holds no
// readings is refused with an outcome naming it.
[[nodiscard]] Result<TextFileOpen> ReadTextFile(TfrmGraph& window, const QString& fileName, QChar separator,
                                                Progress& progress);

// ReadTextFile in two halves: the reading, which touches no widget and may
// run on any thread (throws as ReadTextFile does), and filling the window
// from what it read, on the window's thread.
struct TextFileData {
    TextFileOpen outcome;
    bool scanCancelled = false; // cancelled before the number of readings was known
    qint64 size = 0;            // points the graph is prepared for
    TDateTime t1 = 0.0;
    double interval = 0.0;
    std::vector<double> x; // size entries; outcome.points of them read
    std::vector<float> y;
    // A live recording of an 862: the humidity at the same times (else empty).
    std::vector<float> humidity;
};
// counted, when given, runs on the reading's thread once the readings are
// counted, before the second pass (size, t1 and interval are known).
TextFileData ReadTextFileData(const QString& fileName, QChar separator, Progress& progress,
                              const std::function<void(const TextFileData&)>& counted = {});
void ApplyTextFile(TfrmGraph& window, const TextFileData& data);

} // namespace tq
