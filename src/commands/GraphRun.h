#pragma once

#include "RecordingReport.h"

#include <optional>

namespace tq {

class TfrmGraph;

// The run a graph window shows, as the report and the ISO CSV need it: the
// DataLogger window's data set with what its directory record says; a
// file's window with the points it holds (a point never filled is left
// out) and the interval between its first two points.
std::optional<TemperatureUnit> recordedUnit(const TfrmGraph& window);
// A window opened from the Archive window carries its run's archive id.
inline constexpr const char* kArchiveRunProperty = "archiveRunId";
report::Run graphRun(const TfrmGraph& window);

} // namespace tq
