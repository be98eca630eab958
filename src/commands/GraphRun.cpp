#include "GraphRun.h"

#include "Archive.h"
#include "Chart.h"
#include "DataSetCollection.h"
#include "ProgramArchive.h"
#include "TfrmGraph.h"

#include <cmath>

namespace tq {

namespace {
const DataSet* shownSet(const TfrmGraph& window) {
    const int k = window.shownDataSet();
    const DataSetCollection& c = dataSetCollection();
    return window.isDataLogger() && k >= 0 && k < c.count() ? &c.dataSet(k) : nullptr;
}

// The archived run a window opened from the Archive window shows.
std::optional<ArchivedRun> archivedRun(const TfrmGraph& window) {
    const QVariant id = window.property(kArchiveRunProperty);
    Archive* archive = id.isValid() ? programarchive::archive() : nullptr;
    ArchivedRun run;
    if (archive && archive->find(id.toLongLong(), run)) return run;
    return std::nullopt;
}
} // namespace

std::optional<TemperatureUnit> recordedUnit(const TfrmGraph& window) {
    const DataSet* set = shownSet(window);
    if (!set) {
        if (const std::optional<ArchivedRun> archived = archivedRun(window))
            return archived->fahrenheit() ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
        return std::nullopt;
    }
    return set->fahrenheit() ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
}

report::Run graphRun(const TfrmGraph& window) {
    report::Run run;
    run.source = window.windowTitle();
    run.model = window.model();
    const Chart& chart = *window.chart();
    if (const DataSet* set = shownSet(window)) {
        const SampleSlice slice = dataSetCollection().slice(window.shownDataSet());
        run.dataSet = window.shownDataSet() + 1;
        run.unit = set->fahrenheit() ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
        run.intervalSeconds = set->intervalSeconds;
        run.times = slice.times.copy(slice.count);
        run.values.assign(slice.values, slice.values + slice.count);
        ArchivedRun archived;
        Archive* archive = programarchive::archive();
        if (archive && archive->findRun(*set, slice.values, archived)) {
            run.archiveId = archived.id;
            run.readingsSha256 = archived.readingsSha256;
        }
        return run;
    }
    const std::optional<ArchivedRun> archived = archivedRun(window);
    run.unitRecorded = archived.has_value();
    if (archived) {
        run.unit = archived->fahrenheit() ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
        run.archiveId = archived->id;
        run.readingsSha256 = archived->readingsSha256;
    }
    for (int i = 0; i < chart.points(); ++i) {
        const double x = chart.x(0, i);
        if (x == 0.0) continue;
        run.times.push_back(x);
        run.values.push_back(chart.y(0, i));
    }
    if (run.times.size() >= 2) {
        const double seconds = std::round((run.times[1] - run.times[0]) * kSecondsPerDay);
        run.intervalSeconds = seconds > 0 && seconds < 1e9 ? int(seconds) : 0;
    }
    return run;
}

} // namespace tq
