#pragma once

#include "ByteReader.h"

#include <QtGlobal>

namespace tq {

// The logger memory: a directory of 16 records of 16 bytes (record 0 unused,
// records 1 ... 15 one data set each, in recording order), then the samples
// of every data set back to back from address 256.
namespace memory {
constexpr qsizetype kDirectorySize = 256;
constexpr int kRecordSize = 16;
constexpr int kMaxDataSets = 15;
constexpr qsizetype kFirstSample = kDirectorySize;
// Bytes in a record.
constexpr int kFlags = 1;
constexpr int kInterval = 2;
constexpr int kYear = 4; // then month, day, hour, minute, second
constexpr int kEndAddress = 12;
// The logger weights the end address's top byte with 0xF77C00, not 2^24.
constexpr qint64 kTopByteWeight = 16219136;
// No logger memory is larger than this.
constexpr qint64 kMaxMemorySize = 16 * 1024 * 1024;

constexpr qsizetype recordOffset(int k) {
    return kRecordSize * (k + 1);
} // data set k, 0-based
} // namespace memory

// Directory records before the first whose end address bytes all equal the
// fill byte (0 ... 15); 0 when the image is shorter than the directory.
int countDataSets(const ByteReader& image, quint8 fillByte);

// The records of a collection file, whoever wrote it: a record whose end
// address is all 0xFF or all 0x00 ends the list (the two models' fill bytes;
// no data set ends at address 0).
int countCollectionDataSets(const ByteReader& image);

// The end address of data set k's record (one past its last sample byte),
// all four bytes.
qint64 recordEndAddress(const ByteReader& image, int k);

// The memory size a download expects from a directory of dataSetCount
// records: the last record's end address from its three low bytes, rounded
// up to whole 64-byte blocks; 0 without records.
qint64 downloadTotal(const ByteReader& directory, int dataSetCount);

} // namespace tq
