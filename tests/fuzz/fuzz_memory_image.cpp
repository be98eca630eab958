// The memory decoder with the directory scan, as a download uses them.
// Input: option byte (bit 0: model 862's fill byte 00, else FF; bit 1: the
// memory size is the directory's rounded total, which a download has
// received in full, else the image length), then the memory image.

#include "DataSetCollection.h"
#include "FuzzSupport.h"
#include "LoggerModel.h"
#include "MemoryDecoder.h"
#include "MemoryLayout.h"

#include <cmath>

using namespace tq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const quint8 options = in.option();
    const LoggerModel& model = (options & 1) ? kModel862 : kModel860;
    const ByteReader image(in.rest(), qsizetype(in.restSize()));

    const int count = countDataSets(image, model.fillByte);
    FUZZ_CHECK(count >= 0 && count <= memory::kMaxDataSets);
    const qint64 total = (options & 2) ? qMin(downloadTotal(image, count), image.size()) : image.size();
    FUZZ_CHECK(total >= 0);

    DataSetCollection sets;
    const TDateTime now = 45000.5;
    const DownloadResult result = decodeMemoryImage(image, total, count, sets, now);
    const int intact = intactDataSets(image, total, count);
    FUZZ_CHECK(intact >= 0 && intact <= count);
    if (count == 0) FUZZ_CHECK(result == DownloadResult::NoData);
    if (result != DownloadResult::Ok) {
        FUZZ_CHECK(sets.count() == 0);
        return 0;
    }
    FUZZ_CHECK(sets.count() == count && intact == count);
    for (int k = 0; k < sets.count(); ++k) {
        const DataSet& s = sets.dataSet(k);
        FUZZ_CHECK(s.sampleCount >= 0 && s.lastOffset <= total);
        FUZZ_CHECK(s.intervalSeconds >= 0 && s.intervalSeconds <= 65535);
        const SampleSlice slice = sets.slice(k);
        FUZZ_CHECK(slice.count == s.sampleCount);
        for (int i = 0; i < slice.count; ++i) {
            const float v = slice.values[i];
            FUZZ_CHECK(v == -9999.0f || v == 9999.0f || (v >= -200.0f && v <= 1370.0f));
            FUZZ_CHECK(std::isfinite(slice.times[i]));
        }
    }
    return 0;
}
