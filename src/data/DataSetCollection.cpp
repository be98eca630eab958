#include "DataSetCollection.h"

namespace tq {

bool DataSetCollection::replaceContents(std::vector<DataSet> sets, std::vector<float> values,
                                        std::vector<double> times) {
    if (values.size() != times.size()) return false;
    return replace(std::move(sets), std::move(values), std::move(times));
}

bool DataSetCollection::replaceContents(std::vector<DataSet> sets, std::vector<float> values) {
    return replace(std::move(sets), std::move(values), {});
}

bool DataSetCollection::replace(std::vector<DataSet> sets, std::vector<float> values,
                                std::vector<double> times) {
    if (sets.size() > size_t(kMaxDataSets)) return false;
    qint64 total = 0;
    for (const DataSet& s : sets) {
        if (s.sampleCount < 0) return false;
        total += s.sampleCount;
    }
    if (total != qint64(values.size())) return false;
    m_sets = std::move(sets);
    m_samples = std::make_shared<const Samples>(Samples{std::move(values), std::move(times)});
    return true;
}

int DataSetCollection::firstSample(int k) const {
    if (k < 0 || k >= count()) return 0;
    int first = 0;
    for (int i = 0; i < k; ++i)
        first += m_sets[size_t(i)].sampleCount;
    return first;
}

SampleSlice DataSetCollection::slice(int k) const {
    if (k < 0 || k >= count() || m_sets[size_t(k)].sampleCount == 0) return {};
    const int first = firstSample(k);
    const DataSet& set = m_sets[size_t(k)];
    const TimeLine times = m_samples->times.empty() ? TimeLine::regular(set.startTime, set.intervalSeconds)
                                                    : TimeLine(m_samples->times.data() + first);
    return {m_samples->values.data() + first, times, set.sampleCount, m_samples};
}

DataSetCollection& dataSetCollection() {
    static DataSetCollection collection;
    return collection;
}

} // namespace tq
