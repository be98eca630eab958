#include "ArchiveCompare.h"

#include "Archive.h"

namespace tq::compare {

bool archiveRun(Archive& archive, qint64 id, Run& out, QString& error) {
    ArchivedRun listed;
    RunReadings readings;
    if (!archive.find(id, listed) || listed.deleted) {
        error = QStringLiteral("there is no run %1 in the archive").arg(id);
        return false;
    }
    if (!archive.readings(id, readings)) {
        error = archive.lastError();
        return false;
    }
    const auto samples = archiverun::sharedSamplesOf(readings);
    if (samples->values.empty()) {
        error = QStringLiteral("archive run %1 holds no readings").arg(id);
        return false;
    }
    out = Run();
    out.source = listed.name.isEmpty() ? QStringLiteral("Archive run %1").arg(id)
                                       : QStringLiteral("Archive run %1 - %2").arg(id).arg(listed.name);
    out.intervalSeconds = readings.intervalSeconds;
    out.unit = (readings.flags & 0x01) ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
    out.samples = {samples->values.data(), samples->times.data(), int(samples->values.size()), samples};
    return true;
}

} // namespace tq::compare
