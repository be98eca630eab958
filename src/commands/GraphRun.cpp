#include "GraphRun.h"

#include "Chart.h"
#include "DataSetCollection.h"
#include "TfrmGraph.h"

#include <cmath>

namespace tq {

namespace {
const DataSet* shownSet(const TfrmGraph& window) {
    const int k = window.shownDataSet();
    const DataSetCollection& c = dataSetCollection();
    return window.isDataLogger() && k >= 0 && k < c.count() ? &c.dataSet(k) : nullptr;
}
} // namespace

std::optional<TemperatureUnit> recordedUnit(const TfrmGraph& window) {
    const DataSet* set = shownSet(window);
    if (!set) return std::nullopt;
    return set->fahrenheit() ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
}

report::Run graphRun(const TfrmGraph& window) {
    report::Run run;
    run.source = window.windowTitle();
    run.modelCode = window.modelCode();
    const Chart& chart = *window.chart();
    if (const DataSet* set = shownSet(window)) {
        const SampleSlice slice = dataSetCollection().slice(window.shownDataSet());
        run.dataSet = window.shownDataSet() + 1;
        run.unit = set->fahrenheit() ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
        run.intervalSeconds = set->intervalSeconds;
        run.times.assign(slice.times, slice.times + slice.count);
        run.values.assign(slice.values, slice.values + slice.count);
        return run;
    }
    run.unitRecorded = false;
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
