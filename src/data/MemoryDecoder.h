#pragma once

#include "ByteReader.h"
#include "DataSet.h"
#include "DateTime.h"
#include "DownloadResult.h"
#include "ReadingMarks.h"

namespace tq {

class DataSetCollection;

// A recorded 16-bit sample as the value every view shows: tenths of a
// degree, marked beyond what the sensor measures (markedValue).
inline float sampleValue(qint16 count) {
    return markedValue(float(count * 0.1));
}

// Directory record k as a data set whose samples start at memory address
// first (the end of the record before): count, offsets, flags, interval
// and start, which is impossibleStart when the record's date cannot be.
DataSet directoryRecord(const ByteReader& image, int k, qint64 first, TDateTime impossibleStart);

// Turns a logger memory image into data sets, for a download and for an
// opened collection file alike. total is the size the memory holds (the
// download's rounded total, or the file length); dataSetCount the directory
// records before the end mark. Ok replaces the collection's data sets,
// values and times at once; NoData and DataError leave it as it was.
// A record with an impossible start date starts at now.
DownloadResult decodeMemoryImage(const ByteReader& image, qint64 total, int dataSetCount,
                                 DataSetCollection& collection, TDateTime now = nowDays());

// The leading data sets that a decode can keep: those before the first one
// that ends beyond total.
int intactDataSets(const ByteReader& image, qint64 total, int dataSetCount);

} // namespace tq
