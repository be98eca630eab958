#include "MemoryDecoder.h"

#include "DataSetCollection.h"
#include "MemoryLayout.h"

#include <vector>

namespace tq {

namespace {

constexpr float kBelowRange = -9999.0f;
constexpr float kAboveRange = 9999.0f;
// Overlapping records could otherwise count each byte up to 15 times; no
// memory holds more samples than its size allows without overlap.
constexpr qint64 kMaxSamples = memory::kMaxMemorySize / 2;

struct Record {
    DataSet set;
    qint64 first = 0;
    qint64 last = 0;
};

// The records in order, each checked against total; false at the first that
// ends beyond it.
bool readRecords(const ByteReader& image, qint64 total, int dataSetCount, TDateTime now,
                 std::vector<Record>& out) {
    qint64 first = memory::kFirstSample;
    for (int k = 0; k < dataSetCount && k < memory::kMaxDataSets; ++k) {
        const qsizetype at = memory::recordOffset(k);
        const qint64 end = recordEndAddress(image, k);
        Record r;
        r.first = first;
        r.last = end - 1;
        if (r.last > total) return false;
        r.set.sampleCount = end > first ? int((end - first) / 2) : 0;
        r.set.firstOffset = int(r.first);
        r.set.lastOffset = int(r.last);
        if (!encodeDateTime(2000 + image.u8At(at + memory::kYear), image.u8At(at + memory::kYear + 1),
                            image.u8At(at + memory::kYear + 2), image.u8At(at + memory::kYear + 3),
                            image.u8At(at + memory::kYear + 4), image.u8At(at + memory::kYear + 5),
                            r.set.startTime))
            r.set.startTime = now;
        r.set.flags = image.u8At(at + memory::kFlags);
        r.set.intervalSeconds = image.u16At(at + memory::kInterval);
        out.push_back(r);
        first = end;
    }
    return true;
}

} // namespace

DownloadResult decodeMemoryImage(const ByteReader& image, qint64 total, int dataSetCount,
                                 DataSetCollection& collection, TDateTime now) {
    if (dataSetCount <= 0) return DownloadResult::NoData;
    std::vector<Record> records;
    if (!readRecords(image, total, dataSetCount, now, records)) return DownloadResult::DataError;

    qint64 samples = 0;
    for (const Record& r : records)
        samples += r.set.sampleCount;
    if (samples > kMaxSamples) return DownloadResult::DataError;

    std::vector<DataSet> sets;
    std::vector<float> values;
    std::vector<double> times;
    sets.reserve(records.size());
    values.reserve(size_t(samples));
    times.reserve(size_t(samples));
    for (const Record& r : records) {
        const DataSet& s = r.set;
        qint64 j = 0;
        // A last sample whose high byte lies one past the memory reads it as 0.
        for (qint64 i = r.first; i < r.last; i += 2, ++j) {
            float value = float(image.i16At(qsizetype(i)) * 0.1);
            if (value < -200.0f)
                value = kBelowRange;
            else if (value > 1370.0f)
                value = kAboveRange;
            values.push_back(value);
            times.push_back(s.startTime + double(j) * s.intervalSeconds / kSecondsPerDay);
        }
        sets.push_back(s);
    }
    if (!collection.replaceContents(std::move(sets), std::move(values), std::move(times)))
        return DownloadResult::DataError;
    return DownloadResult::Ok;
}

int intactDataSets(const ByteReader& image, qint64 total, int dataSetCount) {
    std::vector<Record> records;
    readRecords(image, total, dataSetCount, 0.0, records);
    return int(records.size());
}

} // namespace tq
