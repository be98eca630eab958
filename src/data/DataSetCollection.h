#pragma once

#include "DataSet.h"

#include <vector>

namespace tq {

// Read-only view of one data set's samples; valid until the collection's
// contents are next replaced. Empty (null pointers) for 0 samples.
struct SampleSlice {
    const float* values = nullptr;
    const double* times = nullptr;
    int count = 0;

    bool empty() const { return count == 0; }
};

// Every data set of the last successful decode, with all samples in two flat
// parallel arrays so one data set can be handed to the chart in one call.
class DataSetCollection {
  public:
    static constexpr int kMaxDataSets = 15;

    // Replaces data sets, values and times at once. Refused (false, nothing
    // changed) when the arrays do not hold exactly the samples the data sets
    // count, so no slice can ever reach past them.
    bool replaceContents(std::vector<DataSet> sets, std::vector<float> values, std::vector<double> times);

    int count() const { return int(m_sets.size()); }
    // k must be in 0 ... count() - 1.
    const DataSet& dataSet(int k) const { return m_sets.at(size_t(k)); }
    // Index of data set k's sample 0 in the flat arrays; 0 for k out of range.
    int firstSample(int k) const;
    // Empty for k out of range.
    SampleSlice slice(int k) const;

    const std::vector<float>& values() const { return m_values; }
    const std::vector<double>& times() const { return m_times; }

    // A download that was not yet saved to a collection file.
    bool downloadUnsaved() const { return m_downloadUnsaved; }
    void setDownloadUnsaved(bool on) { m_downloadUnsaved = on; }

  private:
    std::vector<DataSet> m_sets;
    std::vector<float> m_values;
    std::vector<double> m_times;
    bool m_downloadUnsaved = false;
};

// The one collection of the program.
DataSetCollection& dataSetCollection();

} // namespace tq
