#pragma once

#include "RunStatistics.h"
#include "TextFile.h"

#include <QIODevice>
#include <QString>

namespace tq {

class Progress;

// The self-describing CSV for scripts and spreadsheets: a header line
// ("time,temperature_C" or "_F"), then a line per point with the ISO 8601
// local time and a UTC offset, a comma, and the value with one decimal and
// a point, or nothing for an out-of-range mark. CR LF line ends.
//
// A live recording of an 862 adds two columns: "time,temperature_C,
// humidity_%RH,dewpoint_C" (or _F for both temperatures). Its lines carry
// the offset in force at each reading, so the offsets of one file may
// differ (a recording across a change of the clocks).
namespace isocsv {
QByteArray header(TemperatureUnit unit);
// The header of a live recording: the one above for the 860, with the
// humidity and dew point columns for the 862.
QByteArray liveHeader(TemperatureUnit unit, bool humidity);
// The value columns a file's first line names: 1 (temperature) or 3
// (temperature, humidity, dew point); 0 when it is no such header.
int columnsOf(QStringView line);
// Whether a file's first line is such a header.
bool isHeader(QStringView line);
// The temperature unit a header names.
TemperatureUnit unitOf(QStringView header);

// The offset from UTC in force here at a run's start, in seconds (for an
// hour that repeats when the clocks go back, that of its first pass). The
// logger's clock runs on uniformly through a change of the clocks, so every
// line of a run carries this one offset and its instants stay exactly one
// interval apart.
int offsetAt(TDateTime start);
// "2024-06-03T08:00:00+02:00": the wall-clock time as recorded, with the
// given offset.
QString timeText(TDateTime t, int offsetSeconds);
QString valueText(float v);

// One line as a reading: the time's fields as written (the logger's clock;
// the offset, which every line of a run shares, is checked but not
// applied, so a file reads back to the times it was written from) and the
// value, 9999.0 where it is empty or unreadable. False for any line without
// a readable time (the header among them).
bool readLine(QStringView line, TDateTime& x, float& y);

// How the lines of a file with this header's columns are read, value
// column `column` (0 temperature, 1 humidity, 2 dew point) as the value.
// One column reads as readLine. Where the offsets of a file's lines differ
// (a change of the clocks inside a live recording), each time is moved to
// the offset of the first line read, so the times run on evenly as a
// logger's clock does; a file of one offset reads exactly as readLine.
LineReading columnReading(int columns, int column);

// Whether a line is whole as the writer writes it: the time with its
// offset and `columns` values, each empty or with one decimal. A last line
// without a line end (a write cut short) is read only when it is whole.
bool isWholeLine(QStringView line, int columns);

// Writes the header and points first ... last (1-based, inclusive, already
// clipped), stopping at the first point whose X is 0.0 (never filled) or
// when the user cancels; every line carries the offset at the first
// point's time. Throws UserError naming what when a write fails.
TextWriteOutcome write(QIODevice& out, const PointSource& points, TemperatureUnit unit, qint64 first,
                       qint64 last, Progress& progress, const QString& what);
} // namespace isocsv

} // namespace tq
