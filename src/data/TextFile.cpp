#include "TextFile.h"

#include "CommandGuard.h"
#include "Progress.h"
#include "Regional.h"
#include "TextLineReader.h"

#include <cmath>

namespace tq {

namespace {

constexpr qint64 kWriteBuffer = 256 * 1024;

// A data line: the text before the first separator, between the first and
// the second, and the whole rest after the second.
struct Fields {
    QStringView date, time, value;
};
bool splitLine(QStringView line, QChar sep, Fields& f) {
    const qsizetype a = line.indexOf(sep);
    if (a < 0) return false;
    const qsizetype b = line.indexOf(sep, a + 1);
    if (b < 0) return false;
    f.date = line.left(a);
    f.time = line.mid(a + 1, b - a - 1);
    f.value = line.mid(b + 1);
    return true;
}

bool lineTime(const Fields& f, const RegionalFormats& formats, TDateTime& out) {
    QString joined;
    joined.reserve(f.date.size() + 1 + f.time.size());
    joined.append(f.date);
    joined.append(QLatin1Char(' '));
    joined.append(f.time);
    return formats.parseDateTime(joined, out);
}

void flush(QIODevice& out, QByteArray& buffer, const QString& what) {
    if (buffer.isEmpty()) return;
    if (out.write(buffer) != buffer.size())
        throw UserError(QStringLiteral("Cannot write %1: %2").arg(what, out.errorString()));
    buffer.clear();
}

} // namespace

QString textValue(float y, const RegionalFormats& formats) {
    if (isOutOfRange(y)) return QStringLiteral("OL");
    return formats.value(double(y), 1);
}

TextWriteOutcome writePointLines(QIODevice& out, const PointSource& points, qint64 first, qint64 last,
                                 Progress& progress, const QString& what, const QByteArray& header,
                                 const LineFormat& format) {
    TextWriteOutcome outcome;
    QByteArray buffer = header;
    buffer.reserve(kWriteBuffer + 256);
    for (qint64 i = first - 1; i <= last - 1; ++i) {
        const double x = points.x(i);
        if (x == 0.0) break;
        ++outcome.lines;
        progress.setValue(outcome.lines);
        format(buffer, x, points.y(i));
        buffer += "\r\n";
        if (buffer.size() >= kWriteBuffer) flush(out, buffer, what);
        if (progress.cancelled()) {
            outcome.cancelled = true;
            break;
        }
    }
    flush(out, buffer, what);
    return outcome;
}

TextWriteOutcome writeTextLines(QIODevice& out, const PointSource& points, QChar separator, qint64 first,
                                qint64 last, Progress& progress, const RegionalFormats& formats,
                                const QString& what) {
    QString line;
    return writePointLines(out, points, first, last, progress, what, QByteArray(),
                           [&](QByteArray& buffer, double x, float y) {
                               line.clear();
                               formats.appendDate(line, x);
                               line += separator;
                               formats.appendTime(line, x);
                               line += separator;
                               line += textValue(y, formats);
                               buffer += line.toUtf8();
                           });
}

LineReading regionalLineReading(QChar separator, const RegionalFormats& formats) {
    return [separator, &formats](QStringView line, TDateTime& x, float& y) {
        Fields f;
        if (!splitLine(line, separator, f) || !lineTime(f, formats, x)) return false;
        double v = 0.0;
        y = textfile::kNullValue;
        if (!f.value.contains(QLatin1String("OL")) && formats.parseValue(f.value, v) &&
            std::isfinite(float(v)))
            y = float(v);
        return true;
    };
}

TextScan scanTextLines(QIODevice& in, const LineReading& reading, Progress& progress,
                       const std::function<bool(QStringView)>& unendedLineWhole) {
    TextScan scan;
    TextLineReader reader(in, textfile::kMaxLineLength);
    QByteArray bytes;
    qint64 lines = 0;
    while (reader.next(bytes)) {
        if (bytes.isEmpty()) break;
        TDateTime t = 0.0;
        float y = 0.0f;
        const QString line = QString::fromUtf8(bytes);
        if (!reader.lineEnded() && unendedLineWhole && !unendedLineWhole(line)) break;
        if (reading(line, t, y)) {
            ++scan.lines;
            if (scan.lines <= 2) (scan.lines == 1 ? scan.t1 : scan.t2) = t;
        }
        if ((++lines & 0x3FF) == 0) {
            progress.keepAlive();
            if (progress.cancelled()) {
                scan.cancelled = true;
                break;
            }
        }
    }
    return scan;
}

TextScan scanTextLines(QIODevice& in, QChar separator, Progress& progress, const RegionalFormats& formats) {
    return scanTextLines(in, regionalLineReading(separator, formats), progress);
}

TextRead readTextPoints(QIODevice& in, const LineReading& reading, qint64 maxPoints, PointSink& sink,
                        Progress& progress) {
    TextRead read;
    TextLineReader reader(in, textfile::kMaxLineLength);
    QByteArray bytes;
    while (read.points < maxPoints && reader.next(bytes)) {
        if (reader.lineCut()) ++read.cutLines;
        TDateTime x = 0.0;
        float y = textfile::kNullValue;
        if (!reading(QString::fromUtf8(bytes), x, y)) continue;
        sink.setX(read.points, x);
        sink.setY(read.points, y);
        ++read.points;
        progress.setValue(read.points);
        if (progress.cancelled()) {
            read.cancelled = true;
            break;
        }
    }
    return read;
}

TextRead readTextPoints(QIODevice& in, QChar separator, qint64 maxPoints, PointSink& sink, Progress& progress,
                        const RegionalFormats& formats) {
    return readTextPoints(in, regionalLineReading(separator, formats), maxPoints, sink, progress);
}

} // namespace tq
