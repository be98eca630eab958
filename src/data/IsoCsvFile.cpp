#include "IsoCsvFile.h"

#include "ReadingMarks.h"
#include "Regional.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>

namespace tq::isocsv {

QByteArray header(TemperatureUnit unit) {
    return unit == TemperatureUnit::Fahrenheit ? QByteArrayLiteral("time,temperature_F\r\n")
                                               : QByteArrayLiteral("time,temperature_C\r\n");
}

QByteArray liveHeader(TemperatureUnit unit, bool humidity) {
    if (!humidity) return header(unit);
    return unit == TemperatureUnit::Fahrenheit
               ? QByteArrayLiteral("time,temperature_F,humidity_%RH,dewpoint_F\r\n")
               : QByteArrayLiteral("time,temperature_C,humidity_%RH,dewpoint_C\r\n");
}

int columnsOf(QStringView line) {
    // A spreadsheet that saved the file again may have put a byte order mark first.
    if (line.startsWith(QChar(0xFEFF))) line = line.mid(1);
    line = line.trimmed();
    for (const TemperatureUnit unit : {TemperatureUnit::Celsius, TemperatureUnit::Fahrenheit}) {
        if (line == QLatin1String(header(unit).trimmed())) return 1;
        if (line == QLatin1String(liveHeader(unit, true).trimmed())) return 3;
    }
    return 0;
}

bool isHeader(QStringView line) {
    return columnsOf(line) > 0;
}

TemperatureUnit unitOf(QStringView header) {
    return header.contains(QLatin1String("temperature_F")) ? TemperatureUnit::Fahrenheit
                                                           : TemperatureUnit::Celsius;
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

namespace {
// The time before the first comma: its fields, and its offset from UTC in
// seconds when it names one. False without a comma or a readable time.
bool readTime(QStringView line, qsizetype& comma, TDateTime& x, std::optional<int>& offset) {
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})-(\\d\\d)-(\\d\\d)[T "
        "](\\d\\d):(\\d\\d)(?::(\\d\\d)(?:[.,](\\d{1,3}))?)?(Z|([+-])(\\d\\d)(?::?(\\d\\d))?)?$"));
    comma = line.indexOf(QLatin1Char(','));
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
    offset.reset();
    if (m.capturedView(8) == QLatin1String("Z"))
        offset = 0;
    else if (m.capturedLength(8) > 0)
        offset = (m.capturedView(9) == QLatin1String("-") ? -1 : 1) * (field(10) * 3600 + field(11) * 60);
    return true;
}

float readValue(QStringView text) {
    static const RegionalFormats point{QLocale::c()};
    double v = 0.0;
    return point.parseValue(text, v) && std::isfinite(float(v)) ? float(v) : kNullReading;
}
} // namespace

bool readLine(QStringView line, TDateTime& x, float& y) {
    qsizetype comma = 0;
    std::optional<int> offset;
    if (!readTime(line, comma, x, offset)) return false;
    y = readValue(line.mid(comma + 1));
    return true;
}

LineReading columnReading(int columns, int column) {
    auto firstOffset = std::make_shared<std::optional<int>>();
    return [columns, column, firstOffset](QStringView line, TDateTime& x, float& y) {
        qsizetype comma = 0;
        std::optional<int> offset;
        if (!readTime(line, comma, x, offset)) return false;
        if (offset) {
            if (!*firstOffset) *firstOffset = offset;
            x += double(**firstOffset - *offset) / kSecondsPerDay;
        }
        if (columns <= 1) {
            y = readValue(line.mid(comma + 1));
            return true;
        }
        // Several columns: a comma is a separator, never a decimal comma.
        QStringView rest = line.mid(comma + 1);
        for (int i = 0; i < column && !rest.isNull(); ++i) {
            const qsizetype next = rest.indexOf(QLatin1Char(','));
            rest = next < 0 ? QStringView() : rest.mid(next + 1);
        }
        const qsizetype end = rest.indexOf(QLatin1Char(','));
        y = rest.isNull() ? kNullReading : readValue(end < 0 ? rest : rest.left(end));
        return true;
    };
}

bool isWholeLine(QStringView line, int columns) {
    static const QRegularExpression time(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(?:\\.\\d{3})?[+-]\\d\\d:\\d\\d$"));
    static const QRegularExpression value(QStringLiteral("^(?:-?\\d+\\.\\d)?$"));
    const QList<QStringView> fields = line.split(QLatin1Char(','));
    if (columns < 1 || fields.size() != columns + 1 || !time.match(fields[0]).hasMatch()) return false;
    for (qsizetype i = 1; i < fields.size(); ++i)
        if (!value.match(fields[i]).hasMatch()) return false;
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
