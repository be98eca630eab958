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

QFile& openOrThrow(QFile& file) {
    QString error;
    if (!openForReading(file, error)) throw UserError(error);
    return file;
}

} // namespace

namespace {
// Writes through a temporary file that replaces the target only when
// complete: a cancel or a failure leaves any previous file as it was.
qint64 saveLines(
    const PointSource& points, qint64 count, const QString& fileName, qint64 last,
    const std::function<TextWriteOutcome(QIODevice&, const PointSource&, qint64, const QString&)>& write) {
    const QString name = shownName(fileName);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw UserError(QStringLiteral("Cannot create %1: %2").arg(name, file.errorString()));
    const TextWriteOutcome outcome = write(file, points, qMin<qint64>(last, count), name);
    if (outcome.cancelled) {
        file.cancelWriting();
        return outcome.lines;
    }
    if (!file.commit()) throw UserError(QStringLiteral("Cannot write %1: %2").arg(name, file.errorString()));
    return outcome.lines;
}
} // namespace

TextPoints TextPoints::of(const Chart& chart, qint64 last) {
    TextPoints copy;
    const int n = int(qBound<qint64>(0, qMin<qint64>(last, chart.points()), qint64(chart.points())));
    copy.m_x.resize(size_t(n));
    copy.m_y.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        copy.m_x[size_t(i)] = chart.x(0, i);
        copy.m_y[size_t(i)] = chart.y(0, i);
    }
    return copy;
}

qint64 WriteTextFile(const TextPoints& points, const QString& fileName, QChar separator, qint64 first,
                     qint64 last, Progress& progress) {
    return saveLines(points, points.count(), fileName, last,
                     [&](QIODevice& out, const PointSource& source, qint64 end, const QString& name) {
                         return writeTextLines(out, source, separator, first, end, progress,
                                               RegionalFormats(), name);
                     });
}

qint64 WriteIsoCsvFile(const TextPoints& points, const QString& fileName, TemperatureUnit unit, qint64 first,
                       qint64 last, Progress& progress) {
    return saveLines(points, points.count(), fileName, last,
                     [&](QIODevice& out, const PointSource& source, qint64 end, const QString& name) {
                         return isocsv::write(out, source, unit, first, end, progress, name);
                     });
}

qint64 WriteTextFile(const Chart& chart, const QString& fileName, QChar separator, qint64 first, qint64 last,
                     Progress& progress) {
    return WriteTextFile(TextPoints::of(chart, last), fileName, separator, first, last, progress);
}

qint64 WriteIsoCsvFile(const Chart& chart, const QString& fileName, TemperatureUnit unit, qint64 first,
                       qint64 last, Progress& progress) {
    return WriteIsoCsvFile(TextPoints::of(chart, last), fileName, unit, first, last, progress);
}

namespace {
// The value columns of the self-describing CSV's header the file starts
// with; 0 when it does not.
int isoCsvColumns(QFile& file) {
    TextLineReader reader(file, textfile::kMaxLineLength);
    QByteArray first;
    return reader.next(first) ? isocsv::columnsOf(QString::fromUtf8(first)) : 0;
}
} // namespace

namespace {
class VectorSink : public PointSink {
  public:
    VectorSink(std::vector<double>& x, std::vector<float>& y) : m_x(x), m_y(y) {}
    void setX(qint64 i, double v) override { m_x[size_t(i)] = v; }
    void setY(qint64 i, float v) override { m_y[size_t(i)] = v; }

  private:
    std::vector<double>& m_x;
    std::vector<float>& m_y;
};
} // namespace

TextFileData ReadTextFileData(const QString& fileName, QChar separator, Progress& progress,
                              const std::function<void(const TextFileData&)>& counted) {
    const RegionalFormats formats;
    TextFileData data;
    TextScan scan;
    LineReading reading = regionalLineReading(separator, formats);
    int columns = 0;
    {
        QFile header(fileName);
        columns = isoCsvColumns(openOrThrow(header));
    }
    std::function<bool(QStringView)> whole;
    if (columns > 0) {
        reading = isocsv::columnReading(columns, 0);
        whole = [columns](QStringView line) { return isocsv::isWholeLine(line, columns); };
    }
    {
        QFile file(fileName);
        scan = scanTextLines(openOrThrow(file), reading, progress, whole);
    }
    if (scan.cancelled) {
        data.outcome.cancelled = true;
        data.scanCancelled = true;
        return data;
    }
    // Rows made up to fill a chart would read as readings of 30 December 1899.
    if (scan.lines == 0)
        throw UserError(QStringLiteral("%1 holds no readings: no line has a date and time that can be read.")
                            .arg(shownName(fileName)));
    qint64 n = scan.lines;
    if (n > kMaxPoints) {
        n = kMaxPoints;
        data.outcome.cut = true;
    }
    data.size = n;
    data.t1 = scan.t1;
    // Without a later second line the scale has no interval: one second a point.
    data.interval = scan.t2 > scan.t1 ? scan.t2 - scan.t1 : kOneSecond;
    data.x.assign(size_t(n), 0.0);
    data.y.assign(size_t(n), textfile::kNullValue);
    if (counted) counted(data);

    // The file is opened again: it may have changed or gone in between.
    QFile file(fileName);
    VectorSink sink(data.x, data.y);
    const TextRead read = readTextPoints(openOrThrow(file), reading, n, sink, progress);
    data.outcome.points = read.points;
    data.outcome.cutLines = read.cutLines;
    data.outcome.cancelled = read.cancelled;
    if (columns == 3 && !read.cancelled) {
        // The humidity column in a pass of its own, at the same lines.
        std::vector<double> times(size_t(read.points), 0.0);
        data.humidity.assign(size_t(read.points), textfile::kNullValue);
        QFile again(fileName);
        VectorSink humidity(times, data.humidity);
        data.outcome.cancelled = readTextPoints(openOrThrow(again), isocsv::columnReading(columns, 1),
                                                read.points, humidity, progress)
                                     .cancelled;
    }
    return data;
}

namespace {
void prepareFor(TfrmGraph& window, const TextFileData& data) {
    window.prepareGraph(window.model().seriesCount, int(data.size), data.t1,
                        data.t1 + double(data.size) * data.interval);
}

void fillPoints(TfrmGraph& window, const TextFileData& data) {
    if (data.scanCancelled) {
        window.chart()->setPoints(0);
        return;
    }
    Chart& chart = *window.chart();
    const int points = int(data.outcome.points);
    for (int i = 0; i < points; ++i) {
        chart.setX(0, i, data.x[size_t(i)]);
        chart.setY(0, i, data.y[size_t(i)]);
    }
    if (chart.subsets() >= 2 && data.humidity.size() >= size_t(points)) {
        for (int i = 0; i < points; ++i) {
            chart.setX(1, i, data.x[size_t(i)]);
            chart.setY(1, i, data.humidity[size_t(i)]);
        }
    }
    // A file that lost lines in between, or a cancel, leaves no unfilled points behind.
    if (data.outcome.points < data.size) chart.setPoints(points);
}
} // namespace

void ApplyTextFile(TfrmGraph& window, const TextFileData& data) {
    if (!data.scanCancelled) prepareFor(window, data);
    fillPoints(window, data);
}

Result<TextFileOpen> ReadTextFile(TfrmGraph& window, const QString& fileName, QChar separator,
                                  Progress& progress) {
    // The reading unwinds to here, its one entry point on this thread.
    try {
        // Prepared once the readings are counted, as before the second pass.
        const TextFileData data = ReadTextFileData(
            fileName, separator, progress, [&window](const TextFileData& d) { prepareFor(window, d); });
        fillPoints(window, data);
        return data.outcome;
    } catch (const UserError& e) {
        return Outcome::fail(Outcome::Code::CannotRead, e.text());
    }
}

} // namespace tq
