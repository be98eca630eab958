#pragma once

#include "DataSet.h"
#include "TimeLine.h"

#include <memory>
#include <vector>

namespace tq {

// Read-only view of one data set's samples; valid until the collection's
// contents are next replaced, or for as long as a copy of owner is kept
// (a chart showing them shares them so). Empty (null pointers) for 0
// samples.
struct SampleSlice {
    const float* values = nullptr;
    TimeLine times;
    int count = 0;
    std::shared_ptr<const void> owner;

    bool empty() const { return count == 0; }
};

// Every data set of the last successful decode, with all samples in one flat
// array so one data set can be handed to the chart in one call. A decoded
// data set's times are its start and interval; they take no array.
class DataSetCollection {
  public:
    static constexpr int kMaxDataSets = 15;

    // Replaces data sets, values and times at once. Refused (false, nothing
    // changed) when the arrays do not hold exactly the samples the data sets
    // count, so no slice can ever reach past them.
    bool replaceContents(std::vector<DataSet> sets, std::vector<float> values, std::vector<double> times);
    // The same, each data set's times being its start time and interval.
    bool replaceContents(std::vector<DataSet> sets, std::vector<float> values);

    int count() const { return int(m_sets.size()); }
    // k must be in 0 ... count() - 1.
    const DataSet& dataSet(int k) const { return m_sets.at(size_t(k)); }
    // Index of data set k's sample 0 in the flat arrays; 0 for k out of range.
    int firstSample(int k) const;
    // Empty for k out of range.
    SampleSlice slice(int k) const;

    const std::vector<float>& values() const { return m_samples->values; }

    // A download that was not yet saved to a collection file.
    bool downloadUnsaved() const { return m_downloadUnsaved; }
    void setDownloadUnsaved(bool on) { m_downloadUnsaved = on; }

  private:
    // Held once and shared with the views handed out, so replacing the
    // contents never pulls the readings from under a chart that shows them.
    struct Samples {
        std::vector<float> values;
        std::vector<double> times; // empty: at the data sets' intervals
    };
    bool replace(std::vector<DataSet> sets, std::vector<float> values, std::vector<double> times);
    std::vector<DataSet> m_sets;
    std::shared_ptr<const Samples> m_samples = std::make_shared<const Samples>();
    bool m_downloadUnsaved = false;
};

// The one collection of the program.
DataSetCollection& dataSetCollection();

} // namespace tq
