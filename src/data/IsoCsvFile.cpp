#include "IsoCsvFile.h"

#include "CommandGuard.h"
#include "Progress.h"

#include <QDateTime>
#include <QTimeZone>

#include <cstdlib>

namespace tq::isocsv {

namespace {
constexpr qint64 kWriteBuffer = 256 * 1024;

void flush(QIODevice& out, QByteArray& buffer, const QString& what) {
    if (buffer.isEmpty()) return;
    if (out.write(buffer) != buffer.size())
        throw UserError(QStringLiteral("Cannot write %1: %2").arg(what, out.errorString()));
    buffer.clear();
}
} // namespace

QByteArray header(TemperatureUnit unit) {
    return unit == TemperatureUnit::Fahrenheit ? QByteArrayLiteral("time,temperature_F\r\n")
                                               : QByteArrayLiteral("time,temperature_C\r\n");
}

QString timeText(TDateTime t) {
    const QDate date = dateOf(t);
    const QTime time = timeOf(t);
    // The logger's clock knows no zones: the fields stay as recorded, even
    // in an hour the clocks skip, and only the offset comes from the zone.
    const int offset = QDateTime(date, time).offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    QString text = date.toString(Qt::ISODate) + QLatin1Char('T') +
                   time.toString(time.msec() ? QStringLiteral("hh:mm:ss.zzz") : QStringLiteral("hh:mm:ss"));
    text += offset < 0 ? QLatin1Char('-') : QLatin1Char('+');
    text += QStringLiteral("%1:%2")
                .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return text;
}

QString valueText(float v) {
    return isReading(v) ? QString::number(double(v), 'f', 1) : QString();
}

TextWriteOutcome write(QIODevice& out, const PointSource& points, TemperatureUnit unit, qint64 first,
                       qint64 last, Progress& progress, const QString& what) {
    TextWriteOutcome outcome;
    QByteArray buffer = header(unit);
    buffer.reserve(kWriteBuffer + 256);
    for (qint64 i = first - 1; i <= last - 1; ++i) {
        const double x = points.x(i);
        if (x == 0.0) break;
        ++outcome.lines;
        progress.setValue(outcome.lines);
        buffer += timeText(x).toLatin1();
        buffer += ',';
        buffer += valueText(points.y(i)).toLatin1();
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

} // namespace tq::isocsv
