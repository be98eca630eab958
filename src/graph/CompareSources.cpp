#include "CompareSources.h"

#include "Chart.h"
#include "CollectionFile.h"
#include "CommandGuard.h"
#include "FileAccess.h"
#include "GraphFile.h"
#include "IsoCsvFile.h"
#include "Progress.h"
#include "Regional.h"
#include "TextFile.h"
#include "TextLineReader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace tq::compare {

namespace {

// As many readings as a chart takes.
constexpr qint64 kMostReadings = 16 * 1024 * 1024;

struct Samples {
    std::vector<float> values;
    std::vector<double> times;
};

class SamplesSink : public PointSink {
  public:
    explicit SamplesSink(Samples& s) : m_s(s) {}
    void setX(qint64 i, double x) override { grow(i).times[size_t(i)] = x; }
    void setY(qint64 i, float y) override { grow(i).values[size_t(i)] = y; }

  private:
    Samples& grow(qint64 i) {
        if (m_s.times.size() <= size_t(i)) {
            m_s.times.resize(size_t(i) + 1, 0.0);
            m_s.values.resize(size_t(i) + 1, kGap);
        }
        return m_s;
    }
    Samples& m_s;
};

// Readings in time order, each kept with its value; points never given a
// time are left out.
Run runOf(std::shared_ptr<Samples> s, const QString& source) {
    std::vector<size_t> order;
    for (size_t i = 0; i < s->times.size(); ++i)
        if (s->times[i] != 0.0) order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return s->times[a] < s->times[b]; });
    auto sorted = std::make_shared<Samples>();
    for (const size_t i : order) {
        sorted->times.push_back(s->times[i]);
        sorted->values.push_back(s->values[i]);
    }
    Run run;
    run.source = source;
    run.unitKnown = false;
    if (sorted->times.size() >= 2) {
        const double seconds = std::round((sorted->times[1] - sorted->times[0]) * kSecondsPerDay);
        run.intervalSeconds = seconds > 0 && seconds < 1e9 ? int(seconds) : 0;
    }
    if (!sorted->times.empty())
        run.samples = {sorted->values.data(), sorted->times.data(), int(sorted->times.size()), sorted};
    return run;
}

bool readTextRun(const QString& fileName, Run& run, QString& error) {
    const RegionalFormats formats;
    const QChar separator =
        QFileInfo(fileName).suffix().toLower() == QLatin1String("txt") ? textfile::kTab : textfile::kComma;
    LineReading reading = regionalLineReading(separator, formats);
    std::function<bool(QStringView)> whole;
    std::optional<TemperatureUnit> unit;
    QFile file(fileName);
    if (!openForReading(file, error)) return false;
    {
        TextLineReader reader(file, textfile::kMaxLineLength);
        QByteArray first;
        const QString line = reader.next(first) ? QString::fromUtf8(first) : QString();
        // A live recording's temperature is its run; humidity is no temperature to compare.
        if (const int columns = isocsv::columnsOf(line); columns > 0) {
            reading = isocsv::columnReading(columns, 0);
            whole = [columns](QStringView l) { return isocsv::isWholeLine(l, columns); };
            unit = isocsv::unitOf(line);
        }
    }
    file.seek(0);
    NoProgress progress;
    const TextScan scan = scanTextLines(file, reading, progress, whole);
    if (scan.lines == 0) {
        error = QStringLiteral("%1 holds no readings: no line has a date and time that can be read.")
                    .arg(shownName(fileName));
        return false;
    }
    file.seek(0);
    auto samples = std::make_shared<Samples>();
    SamplesSink sink(*samples);
    readTextPoints(file, reading, std::min<qint64>(scan.lines, kMostReadings), sink, progress);
    run = runOf(samples, QFileInfo(fileName).fileName());
    if (unit) {
        run.unit = *unit;
        run.unitKnown = true;
    }
    return true;
}

bool readGraphRun(const QString& fileName, Run& run, QString& error) {
    Chart chart;
    if (const Outcome loaded = LoadGraphFile(chart, fileName); !loaded.ok()) {
        error = loaded.text;
        return false;
    }
    auto samples = std::make_shared<Samples>();
    const int n = chart.points();
    samples->times = chart.xData(0).copy(chart.xData(0).isNull() ? 0 : n);
    samples->values.assign(chart.yData(0), chart.yData(0) + (chart.yData(0) ? n : 0));
    run = runOf(samples, QFileInfo(fileName).fileName());
    return true;
}

} // namespace

bool parseRunArgument(const QString& text, RunArgument& out, QString& error) {
    out = RunArgument();
    if (text.startsWith(QLatin1String("archive:"))) {
        bool ok = false;
        out.kind = RunArgument::Kind::Archive;
        out.archiveId = text.mid(8).toLongLong(&ok);
        if (!ok || out.archiveId <= 0) {
            error = QStringLiteral("%1: archive:ID takes the number of a run in the archive").arg(text);
            return false;
        }
        return true;
    }
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    const QString suffix = QFileInfo(colon > 0 ? text.left(colon) : text).suffix().toLower();
    if (colon > 0 && suffix == QLatin1String("880")) {
        bool ok = false;
        out.kind = RunArgument::Kind::Collection;
        out.file = text.left(colon);
        out.dataSet = text.mid(colon + 1).toInt(&ok);
        if (!ok || out.dataSet < 1 || out.dataSet > DataSetCollection::kMaxDataSets) {
            error = QStringLiteral("%1: FILE.880:K takes a data set K from 1 to %2")
                        .arg(text)
                        .arg(DataSetCollection::kMaxDataSets);
            return false;
        }
        return true;
    }
    out.file = text;
    const QString ext = QFileInfo(text).suffix().toLower();
    if (ext == QLatin1String("880")) {
        error = QStringLiteral("%1: name the data set, e.g. %1:1").arg(text);
        return false;
    }
    if (ext != QLatin1String("ghf") && ext != QLatin1String("txt") && ext != QLatin1String("csv")) {
        error =
            QStringLiteral("%1: a run is FILE.880:K, FILE.ghf, FILE.txt, FILE.csv or archive:ID").arg(text);
        return false;
    }
    return true;
}

std::vector<Run> collectionRuns(const DataSetCollection& collection, const QString& source, int dataSet) {
    std::vector<Run> runs;
    for (int k = 0; k < collection.count(); ++k) {
        if (dataSet > 0 && k != dataSet - 1) continue;
        const SampleSlice slice = collection.slice(k);
        if (slice.empty()) continue;
        const DataSet& set = collection.dataSet(k);
        Run run;
        run.source = source;
        run.dataSet = k + 1;
        run.intervalSeconds = set.intervalSeconds;
        run.unit = set.fahrenheit() ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
        run.samples = slice;
        runs.push_back(run);
    }
    return runs;
}

bool loadFileRuns(const QString& fileName, int dataSet, std::vector<Run>& out, QString& error) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("880")) {
        QByteArray bytes;
        if (!collection::readCollectionFile(fileName, bytes, error)) return false;
        DataSetCollection sets;
        const collection::CollectionDecode d = collection::decodeCollection(bytes, sets);
        if (d.result != DownloadResult::Ok) {
            error = QStringLiteral("%1: %2").arg(
                shownName(fileName), d.result == DownloadResult::NoData
                                         ? QStringLiteral("no data set")
                                         : QStringLiteral("damaged, its data sets cannot be read"));
            return false;
        }
        if (dataSet > sets.count()) {
            error = QStringLiteral("%1 holds %2 data set(s), not %3")
                        .arg(shownName(fileName))
                        .arg(sets.count())
                        .arg(dataSet);
            return false;
        }
        std::vector<Run> runs = collectionRuns(sets, QFileInfo(fileName).fileName(), dataSet);
        if (runs.empty()) {
            error =
                dataSet > 0
                    ? QStringLiteral("%1: data set %2 holds no samples").arg(shownName(fileName)).arg(dataSet)
                    : QStringLiteral("%1: no data set holds samples").arg(shownName(fileName));
            return false;
        }
        out.insert(out.end(), runs.begin(), runs.end());
        return true;
    }
    Run run;
    if (ext == QLatin1String("ghf")) {
        if (!readGraphRun(fileName, run, error)) return false;
    } else if (ext == QLatin1String("txt") || ext == QLatin1String("csv")) {
        if (!readTextRun(fileName, run, error)) return false;
    } else {
        error = QStringLiteral("%1: not a file of runs (.880, .ghf, .txt or .csv)").arg(shownName(fileName));
        return false;
    }
    if (run.count() == 0) {
        error = QStringLiteral("%1 holds no readings").arg(shownName(fileName));
        return false;
    }
    out.push_back(run);
    return true;
}

} // namespace tq::compare
