#include "ArchiveCompare.h"

#include "Archive.h"

namespace tq::compare {

Result<Run> archiveRun(Archive& archive, qint64 id) {
    ArchivedRun listed;
    RunReadings readings;
    if (!archive.find(id, listed) || listed.deleted)
        return Outcome::fail(Outcome::Code::NotFound,
                             QStringLiteral("there is no run %1 in the archive").arg(id));
    if (!archive.readings(id, readings)) return Outcome::fail(Outcome::Code::CannotRead, archive.lastError());
    const auto samples = archiverun::sharedSamplesOf(readings);
    if (samples->values.empty())
        return Outcome::fail(Outcome::Code::NotFound,
                             QStringLiteral("archive run %1 holds no readings").arg(id));
    Run out;
    out.source = listed.name.isEmpty() ? QStringLiteral("Archive run %1").arg(id)
                                       : QStringLiteral("Archive run %1 - %2").arg(id).arg(listed.name);
    out.intervalSeconds = readings.intervalSeconds;
    out.unit = (readings.flags & 0x01) ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
    out.samples = {samples->values.data(), samples->times.data(), int(samples->values.size()), samples};
    return out;
}

} // namespace tq::compare
