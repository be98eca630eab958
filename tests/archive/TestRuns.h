#pragma once

#include "ArchiveRun.h"

#include <vector>

namespace tq::testing {

// A run whose start and readings follow from tag, so two programs given the
// same tag make the same run.
inline RunReadings makeRun(int tag, int count = 100, int intervalSeconds = 60, quint8 flags = 0) {
    RunReadings r;
    r.startTime = 46000.0 + tag + 0.25; // a day per tag, 06:00
    r.intervalSeconds = intervalSeconds;
    r.flags = flags;
    r.counts.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        r.counts[size_t(i)] = qint16(200 + (i * 7 + tag * 13) % 150 - 75);
    return r;
}

} // namespace tq::testing
