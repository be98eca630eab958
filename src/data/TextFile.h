#pragma once

#include "DateTime.h"
#include "ReadingMarks.h"

#include <QChar>
#include <QIODevice>
#include <QString>

#include <functional>

namespace tq {

class Progress;
class RegionalFormats;

// Text files carry one series: a line per point, the regional short date,
// the separator (TAB in .txt, comma in .csv), the regional long time, the
// separator and the value with one decimal ("OL" beyond +-3000), CR LF.
namespace textfile {
constexpr int kMaxLineLength = 179;
constexpr QChar kTab = QLatin1Char('\t');
constexpr QChar kComma = QLatin1Char(',');
constexpr float kNullValue = kNullReading;
} // namespace textfile

class PointSource {
  public:
    virtual ~PointSource() = default;
    virtual double x(qint64 i) const = 0;
    virtual float y(qint64 i) const = 0;
};

class PointSink {
  public:
    virtual ~PointSink() = default;
    virtual void setX(qint64 i, double x) = 0;
    virtual void setY(qint64 i, float y) = 0;
};

// "OL" beyond +-3000 (the thresholds are strict), else one decimal.
QString textValue(float y, const RegionalFormats& formats);

struct TextWriteOutcome {
    qint64 lines = 0;
    bool cancelled = false;
};
// Appends one point's line, without its end.
using LineFormat = std::function<void(QByteArray& line, double x, float y)>;
// The loop every text format shares: header, then points first ... last
// (1-based, inclusive, already clipped) until the first whose X is 0.0
// (never filled), each line ended by CR LF, the lines written reported and
// a cancel obeyed after each one. Throws UserError naming what when the
// device refuses a write.
TextWriteOutcome writePointLines(QIODevice& out, const PointSource& points, qint64 first, qint64 last,
                                 Progress& progress, const QString& what, const QByteArray& header,
                                 const LineFormat& format);
// Writes points first ... last (1-based, inclusive, already clipped) and
// stops at the first point whose X is 0.0 (never filled). Reports the lines
// written after each one and stops when the user cancels; the lines written
// stay. Throws UserError naming what when the device refuses a write.
TextWriteOutcome writeTextLines(QIODevice& out, const PointSource& points, QChar separator, qint64 first,
                                qint64 last, Progress& progress, const RegionalFormats& formats,
                                const QString& what);

// How one line of a text file is read: true for a reading, a line with a
// date and time that can be read, with its time in x and its value in y
// (9999.0 for "OL" or a value that cannot be read). Any other line (a
// header, junk, a date that does not convert) is no reading.
using LineReading = std::function<bool(QStringView line, TDateTime& x, float& y)>;
// The regional lines: date, separator, time, separator, value; "OL"
// anywhere in the value field reads as 9999.0.
LineReading regionalLineReading(QChar separator, const RegionalFormats& formats);

// First pass: the readings before the first empty line, and the times of
// the first two.
struct TextScan {
    qint64 lines = 0; // readings
    TDateTime t1 = 0.0;
    TDateTime t2 = 0.0;
    bool cancelled = false;
};
// A last line without a line end counts only when unendedLineWhole, if
// given, says it is whole (a write cut short leaves a part of a line).
TextScan scanTextLines(QIODevice& in, const LineReading& reading, Progress& progress,
                       const std::function<bool(QStringView)>& unendedLineWhole = {});
TextScan scanTextLines(QIODevice& in, QChar separator, Progress& progress, const RegionalFormats& formats);

// Second pass: points 0 ... maxPoints - 1 from the readings in order (lines
// that are no reading are skipped). A line longer than kMaxLineLength is
// read cut to that length and counted.
struct TextRead {
    qint64 points = 0;
    qint64 cutLines = 0;
    bool cancelled = false;
};
TextRead readTextPoints(QIODevice& in, const LineReading& reading, qint64 maxPoints, PointSink& sink,
                        Progress& progress);
TextRead readTextPoints(QIODevice& in, QChar separator, qint64 maxPoints, PointSink& sink, Progress& progress,
                        const RegionalFormats& formats);

} // namespace tq
