#pragma once

// The chart's stored state: a block of our own format that carries every
// item of the chart model, read back with every length checked.

#include <QByteArray>
#include <QString>

namespace tq {

struct ChartModel;

QByteArray encodeChartState(const ChartModel& model);

// Fills *out only when the whole block is sound; otherwise returns false
// with a reason in *error and leaves *out as it was.
bool decodeChartState(const QByteArray& block, ChartModel* out, QString* error);

} // namespace tq
