// Opening a data set collection file (.880): the file's bytes as they are,
// decoded as the open command does, with the second decode of the intact
// leading data sets that it offers for a damaged file.

#include "CollectionFile.h"
#include "DataSetCollection.h"
#include "FuzzSupport.h"
#include "MemoryLayout.h"

#include <cmath>

using namespace tq;

namespace {
void checkConsistent(const DataSetCollection& sets) {
    FUZZ_CHECK(sets.count() <= DataSetCollection::kMaxDataSets);
    qint64 samples = 0;
    for (int k = 0; k < sets.count(); ++k) {
        FUZZ_CHECK(sets.firstSample(k) == samples);
        samples += sets.dataSet(k).sampleCount;
        const SampleSlice slice = sets.slice(k);
        FUZZ_CHECK(slice.count == 0 || std::isfinite(slice.times[slice.count - 1]));
    }
    FUZZ_CHECK(samples == qint64(sets.values().size()));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    DataSetCollection sets;
    const collection::CollectionDecode full = collection::decodeCollection(bytes, sets);
    FUZZ_CHECK(full.dataSets >= 0 && full.dataSets <= memory::kMaxDataSets);
    FUZZ_CHECK(full.intact >= 0 && full.intact <= full.dataSets);
    if (bytes.size() < memory::kDirectorySize) FUZZ_CHECK(full.dataSets == 0);
    if (full.dataSets == 0) FUZZ_CHECK(full.result == DownloadResult::NoData);
    if (full.result == DownloadResult::Ok) FUZZ_CHECK(sets.count() == full.dataSets);
    checkConsistent(sets);

    if (full.result == DownloadResult::DataError && full.intact > 0) {
        const collection::CollectionDecode part = collection::decodeCollection(bytes, sets, full.intact);
        FUZZ_CHECK(part.result != DownloadResult::NoData);
        FUZZ_CHECK(part.intact == full.intact);
        if (part.result == DownloadResult::Ok) FUZZ_CHECK(sets.count() == full.intact);
        checkConsistent(sets);
    }
    return 0;
}
