#pragma once

#include "RunStatistics.h"
#include "TextFile.h"

#include <QIODevice>
#include <QString>

namespace tq {

class Progress;

// The self-describing CSV for scripts and spreadsheets: a header line
// ("time,temperature_C" or "_F"), then a line per point with the ISO 8601
// local time and its UTC offset, a comma, and the value with one decimal
// and a point, or nothing for an out-of-range mark. CR LF line ends.
namespace isocsv {
QByteArray header(TemperatureUnit unit);
// "2024-06-03T08:00:00+02:00": the wall-clock time as recorded, with the
// offset from UTC in force at that time here (for an hour that repeats when
// the clocks go back, that of its first pass).
QString timeText(TDateTime t);
QString valueText(float v);

// Writes the header and points first ... last (1-based, inclusive, already
// clipped), stopping at the first point whose X is 0.0 (never filled) or
// when the user cancels. Throws UserError naming what when a write fails.
TextWriteOutcome write(QIODevice& out, const PointSource& points, TemperatureUnit unit, qint64 first,
                       qint64 last, Progress& progress, const QString& what);
} // namespace isocsv

} // namespace tq
