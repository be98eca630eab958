#include "IsoCsvFile.h"

#include "ReadingMarks.h"
#include "Regional.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>
#include <cstdlib>

namespace tq::isocsv {

QByteArray header(TemperatureUnit unit) {
    return unit == TemperatureUnit::Fahrenheit ? QByteArrayLiteral("time,temperature_F\r\n")
                                               : QByteArrayLiteral("time,temperature_C\r\n");
}

bool isHeader(QStringView line) {
    // A spreadsheet that saved the file again may have put a byte order mark first.
    if (line.startsWith(QChar(0xFEFF))) line = line.mid(1);
    line = line.trimmed();
    return line == QLatin1String("time,temperature_C") || line == QLatin1String("time,temperature_F");
}

int offsetAt(TDateTime start) {
    const QDateTime local(dateOf(start), timeOf(start));
    return local.isValid() ? local.offsetFromUtc() : 0;
}

QString timeText(TDateTime t, int offsetSeconds) {
    const QDate date = dateOf(t);
    const QTime time = timeOf(t);
    // The fields stay as recorded, even in an hour the clocks skip.
    const int minutes = std::abs(offsetSeconds) / 60;
    QString text = date.toString(Qt::ISODate) + QLatin1Char('T') +
                   time.toString(time.msec() ? QStringLiteral("hh:mm:ss.zzz") : QStringLiteral("hh:mm:ss"));
    text += offsetSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    text += QStringLiteral("%1:%2")
                .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return text;
}

QString valueText(float v) {
    return isReading(v) ? QString::number(double(v), 'f', 1) : QString();
}

bool readLine(QStringView line, TDateTime& x, float& y) {
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d\\d)-(\\d\\d)[T "
                       "](\\d\\d):(\\d\\d)(?::(\\d\\d)(?:[.,](\\d{1,3}))?)?(?:Z|[+-]\\d\\d(?::?\\d\\d)?)?$"));
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    if (comma < 0) return false;
    const QRegularExpressionMatch m = iso.match(line.left(comma).trimmed().toString());
    if (!m.hasMatch()) return false;
    auto field = [&m](int i) { return m.capturedView(i).toInt(); };
    const QString ms = m.captured(7);
    const QDate date(field(1), field(2), field(3));
    const QTime time(field(4), field(5), field(6),
                     ms.isEmpty() ? 0 : (ms + QStringLiteral("00")).left(3).toInt());
    if (!date.isValid() || !time.isValid()) return false;
    x = toDays(date, time);
    static const RegionalFormats point{QLocale::c()};
    double v = 0.0;
    y = point.parseValue(line.mid(comma + 1), v) && std::isfinite(float(v)) ? float(v) : kNullReading;
    return true;
}

TextWriteOutcome write(QIODevice& out, const PointSource& points, TemperatureUnit unit, qint64 first,
                       qint64 last, Progress& progress, const QString& what) {
    const TDateTime start = points.x(0) != 0.0 ? points.x(0) : points.x(first - 1);
    const int offset = offsetAt(start);
    return writePointLines(out, points, first, last, progress, what, header(unit),
                           [offset](QByteArray& line, double x, float y) {
                               line += timeText(x, offset).toLatin1();
                               line += ',';
                               line += valueText(y).toLatin1();
                           });
}

} // namespace tq::isocsv
