#include "MemoryDecoder.h"

#include "DataSetCollection.h"
#include "MemoryLayout.h"

#include <vector>

namespace tq {

namespace {

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
        const qint64 end = recordEndAddress(image, k);
        Record r;
        r.first = first;
        r.last = end - 1;
        if (r.last > total) return false;
        r.set = directoryRecord(image, k, first, now);
        out.push_back(r);
        first = end;
    }
    return true;
}

} // namespace

DataSet directoryRecord(const ByteReader& image, int k, qint64 first, TDateTime impossibleStart) {
    const qsizetype at = memory::recordOffset(k);
    const qint64 end = recordEndAddress(image, k);
    DataSet s;
    s.sampleCount = end > first ? int((end - first) / 2) : 0;
    s.firstOffset = int(first);
    s.lastOffset = int(end - 1);
    const qsizetype y = at + memory::kYear;
    if (!encodeDateTime(2000 + image.u8At(y), image.u8At(y + 1), image.u8At(y + 2), image.u8At(y + 3),
                        image.u8At(y + 4), image.u8At(y + 5), s.startTime))
        s.startTime = impossibleStart;
    s.flags = image.u8At(at + memory::kFlags);
    s.intervalSeconds = image.u16At(at + memory::kInterval);
    return s;
}

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
    sets.reserve(records.size());
    values.reserve(size_t(samples));
    // A sample's time is its data set's start plus its interval times its
    // place: the collection gives it from the data set.
    for (const Record& r : records) {
        // A last sample whose high byte lies one past the memory reads it as 0.
        for (qint64 i = r.first; i < r.last; i += 2)
            values.push_back(sampleValue(image.i16At(qsizetype(i))));
        sets.push_back(r.set);
    }
    if (!collection.replaceContents(std::move(sets), std::move(values))) return DownloadResult::DataError;
    return DownloadResult::Ok;
}

int intactDataSets(const ByteReader& image, qint64 total, int dataSetCount) {
    std::vector<Record> records;
    readRecords(image, total, dataSetCount, 0.0, records);
    return int(records.size());
}

} // namespace tq
