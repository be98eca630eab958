#include "GraphTextFile.h"

#include "Chart.h"
#include "ChartModel.h"
#include "CommandGuard.h"
#include "FileAccess.h"
#include "IsoCsvFile.h"
#include "LoggerModel.h"
#include "Progress.h"
#include "Regional.h"
#include "TextFile.h"
#include "TextLineReader.h"
#include "TfrmGraph.h"

#include <QFile>
#include <QSaveFile>

namespace tq {

namespace {

class ChartSeries0 : public PointSource, public PointSink {
  public:
    explicit ChartSeries0(Chart& chart) : m_chart(chart) {}
    double x(qint64 i) const override { return m_chart.x(0, int(i)); }
    float y(qint64 i) const override { return m_chart.y(0, int(i)); }
    void setX(qint64 i, double v) override { m_chart.setX(0, int(i), v); }
    void setY(qint64 i, float v) override { m_chart.setY(0, int(i), v); }

  private:
    Chart& m_chart;
};

QFile& openOrThrow(QFile& file) {
    QString error;
    if (!openForReading(file, error)) throw UserError(error);
    return file;
}

} // namespace

namespace {
// Writes the chart's series 0 through a temporary file that replaces the
// target only when complete (a cancel keeps the lines written so far).
qint64 saveLines(
    const Chart& chart, const QString& fileName, qint64 last,
    const std::function<TextWriteOutcome(QIODevice&, const PointSource&, qint64, const QString&)>& write) {
    const QString name = shownName(fileName);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw UserError(QStringLiteral("Cannot create %1: %2").arg(name, file.errorString()));
    const ChartSeries0 points(const_cast<Chart&>(chart));
    const TextWriteOutcome outcome = write(file, points, qMin<qint64>(last, chart.points()), name);
    if (!file.commit()) throw UserError(QStringLiteral("Cannot write %1: %2").arg(name, file.errorString()));
    return outcome.lines;
}
} // namespace

qint64 WriteTextFile(const Chart& chart, const QString& fileName, QChar separator, qint64 first, qint64 last,
                     Progress& progress) {
    return saveLines(chart, fileName, last,
                     [&](QIODevice& out, const PointSource& points, qint64 end, const QString& name) {
                         return writeTextLines(out, points, separator, first, end, progress,
                                               RegionalFormats(), name);
                     });
}

qint64 WriteIsoCsvFile(const Chart& chart, const QString& fileName, TemperatureUnit unit, qint64 first,
                       qint64 last, Progress& progress) {
    return saveLines(chart, fileName, last,
                     [&](QIODevice& out, const PointSource& points, qint64 end, const QString& name) {
                         return isocsv::write(out, points, unit, first, end, progress, name);
                     });
}

namespace {
// Whether the file starts with the self-describing CSV's header.
bool startsAsIsoCsv(QFile& file) {
    TextLineReader reader(file, textfile::kMaxLineLength);
    QByteArray first;
    return reader.next(first) && isocsv::isHeader(QString::fromUtf8(first));
}
} // namespace

TextFileOpen ReadTextFile(TfrmGraph& window, const QString& fileName, QChar separator, Progress& progress) {
    const RegionalFormats formats;
    TextFileOpen result;
    TextScan scan;
    LineReading reading = regionalLineReading(separator, formats);
    {
        QFile header(fileName);
        if (startsAsIsoCsv(openOrThrow(header))) reading = isocsv::readLine;
    }
    {
        QFile file(fileName);
        scan = scanTextLines(openOrThrow(file), reading, progress);
    }
    if (scan.cancelled) {
        window.chart()->setPoints(0);
        result.cancelled = true;
        return result;
    }
    // Rows made up to fill a chart would read as readings of 30 December 1899.
    if (scan.lines == 0)
        throw UserError(QStringLiteral("%1 holds no readings: no line has a date and time that can be read.")
                            .arg(shownName(fileName)));
    qint64 n = scan.lines;
    if (n > kMaxPoints) {
        n = kMaxPoints;
        result.cut = true;
    }
    // Without a later second line the scale has no interval: one second a point.
    const double interval = scan.t2 > scan.t1 ? scan.t2 - scan.t1 : kOneSecond;
    window.prepareGraph(loggerModel(window.modelCode()).seriesCount, int(n), scan.t1,
                        scan.t1 + double(n) * interval);

    // The file is opened again: it may have changed or gone in between.
    QFile file(fileName);
    ChartSeries0 sink(*window.chart());
    const TextRead read = readTextPoints(openOrThrow(file), reading, n, sink, progress);
    // A file that lost lines in between, or a cancel, leaves no unfilled points behind.
    if (read.points < n) window.chart()->setPoints(int(read.points));
    result.points = read.points;
    result.cutLines = read.cutLines;
    result.cancelled = read.cancelled;
    return result;
}

} // namespace tq
