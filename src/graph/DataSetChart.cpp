#include "DataSetChart.h"

#include "Chart.h"
#include "DataSetCollection.h"
#include "LoggerModel.h"
#include "ReadingMarks.h"

namespace tq {

void prepareDataSetChart(Chart& chart, const DataSet& set, const SampleSlice& slice, const LoggerModel& model,
                         TemplateUse use) {
    // The logger's out-of-range marks (+-9999.0) are no readings: gaps.
    chart.setOutOfRangeLimitY(kOutOfRangeLimit);
    prepareChart(chart, model.seriesCount, set.sampleCount, set.startTime,
                 set.startTime + double(set.sampleCount) * set.intervalSeconds / kSecondsPerDay, model, use);
    if (!slice.empty()) {
        // The chart views the collection's readings rather than copying
        // them; a slice that nobody keeps alive is copied.
        if (slice.owner) {
            chart.shareData(0, slice.owner, slice.times, slice.values, slice.count);
        } else {
            chart.setXData(slice.times, slice.count);
            chart.setYData(slice.values, slice.count);
        }
    }
}

} // namespace tq
