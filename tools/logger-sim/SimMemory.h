#pragma once

#include "SimTypes.h"

#include <QByteArray>

namespace tq::sim {

// The logger memory: a 256-byte directory (record 0 unused, records 1..15
// at offset 16k) followed by the samples of all data sets back to back.
namespace memory {

constexpr int kDirectorySize = 256;
constexpr int kRecordSize = 16;
constexpr int kMaxDataSets = 15;
constexpr int kBlockSize = 64;
// End addresses are read from three bytes by the download.
constexpr qint64 kMaxEndAddress = 0xFFFFFF;

// Unused directory bytes: 0x00 on model 862, 0xFF on model 860.
quint8 fillByte(int model);

// A memory that holds no data set.
QByteArray erased(int model);

// Number of used directory records, counted up to the first unused one.
int usedRecords(const QByteArray& image, quint8 fill);

// End address of record k (1..15), bytes 12..14 little-endian.
qint64 endAddress(const QByteArray& image, int record);

// Appends one data set after the last used record and grows the memory to
// its end rounded up to whole blocks. Samples that would pass the address
// range are left out. Returns false when the directory is full.
bool appendDataSet(QByteArray& image, quint8 fill, const SimDataSet& set);

// A fresh memory holding the given data sets (at most 15 are kept).
QByteArray build(int model, const QVector<SimDataSet>& sets);

// Plausible recordings for demos: smooth temperatures, a few intervals,
// one run in Fahrenheit.
QVector<SimDataSet> demo(int count, int samplesEach, const QDateTime& now);

// Recordings that fill a memory of memoryBytes (rounded up to whole blocks,
// between the bare directory and 16 MiB): four runs of about equal length.
QVector<SimDataSet> filling(qint64 memoryBytes, const QDateTime& now);

} // namespace memory
} // namespace tq::sim
