#pragma once

#include "DateTime.h"

#include <QtGlobal>

namespace tq {

// One recording run of the logger, as described by its directory record.
struct DataSet {
    TDateTime startTime = 0.0; // time of sample 0
    int intervalSeconds = 0;   // 0 ... 65535
    int sampleCount = 0;
    quint8 flags = 0;    // bit 0: values in degrees Fahrenheit
    int firstOffset = 0; // memory offset of the first sample byte
    int lastOffset = 0;  // end address - 1

    bool fahrenheit() const { return (flags & 0x01) != 0; }
    QChar unitLetter() const { return fahrenheit() ? QLatin1Char('F') : QLatin1Char('C'); }
};

} // namespace tq
