#include "MemoryLayout.h"

namespace tq {

int countDataSets(const ByteReader& image, quint8 fillByte) {
    if (image.size() < memory::kDirectorySize) return 0;
    int count = 0;
    for (int k = 0; k < memory::kMaxDataSets; ++k) {
        const qsizetype at = memory::recordOffset(k) + memory::kEndAddress;
        bool unused = true;
        for (int b = 0; b < 4; ++b)
            unused = unused && image.u8At(at + b) == fillByte;
        if (unused) break;
        ++count;
    }
    return count;
}

int countCollectionDataSets(const ByteReader& image) {
    return qMin(countDataSets(image, 0xFF), countDataSets(image, 0x00));
}

qint64 recordEndAddress(const ByteReader& image, int k) {
    const qsizetype at = memory::recordOffset(k) + memory::kEndAddress;
    return qint64(image.u8At(at)) + 256 * qint64(image.u8At(at + 1)) + 65536 * qint64(image.u8At(at + 2)) +
           memory::kTopByteWeight * qint64(image.u8At(at + 3));
}

qint64 downloadTotal(const ByteReader& directory, int dataSetCount) {
    if (dataSetCount <= 0) return 0;
    const qsizetype at = memory::recordOffset(dataSetCount - 1) + memory::kEndAddress;
    const qint64 end = qint64(directory.u8At(at)) + 256 * qint64(directory.u8At(at + 1)) +
                       65536 * qint64(directory.u8At(at + 2));
    return (end + 63) / 64 * 64;
}

} // namespace tq
