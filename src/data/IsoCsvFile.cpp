#include "IsoCsvFile.h"

#include <QDateTime>
#include <QTimeZone>

#include <cstdlib>

namespace tq::isocsv {

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
    return writePointLines(out, points, first, last, progress, what, header(unit),
                           [](QByteArray& line, double x, float y) {
                               line += timeText(x).toLatin1();
                               line += ',';
                               line += valueText(y).toLatin1();
                           });
}

} // namespace tq::isocsv
