#include "RunCompare.h"

#include "Regional.h"

#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

namespace tq::compare {

namespace {
// Times closer than this are the same time: logger clocks count whole seconds.
constexpr double kSameTime = 0.5 / kSecondsPerDay;

double drawnX(const Run& run, int i, double off) {
    return run.samples.times[i] - off;
}
} // namespace

TextFormats TextFormats::regional(const RegionalFormats& formats) {
    return {[formats](TDateTime t) { return formats.date(t); },
            [formats](TDateTime t) { return formats.dateTime(t); },
            [formats](double v, int decimals) { return formats.value(v, decimals); }};
}

TextFormats TextFormats::iso() {
    auto date = [](TDateTime t) { return dateOf(t).toString(Qt::ISODate); };
    return {date,
            [date](TDateTime t) {
                return date(t) + QLatin1Char(' ') + timeOf(t).toString(QStringLiteral("HH:mm:ss"));
            },
            [](double v, int decimals) { return QString::number(v, 'f', decimals); }};
}

QString Run::label(const TextFormats& formats) const {
    QString text = source;
    if (dataSet > 0) text += QStringLiteral(", set %1").arg(dataSet);
    if (samples.count > 0) text += QStringLiteral(", ") + formats.date(start());
    return text;
}

double offset(const Run& run, Align align) {
    return align == Align::Elapsed ? run.start() : 0.0;
}

QString unitText(TemperatureUnit unit) {
    return unit == TemperatureUnit::Fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C");
}

float displayValue(float v, TemperatureUnit from, TemperatureUnit to) {
    if (from == to || !isReading(v)) return v;
    return float(fromKelvin(toKelvin(v, from), to));
}

std::optional<std::vector<float>> convertedValues(const Run& run, TemperatureUnit to) {
    if (run.unit == to) return std::nullopt;
    std::vector<float> out(size_t(run.samples.count));
    for (int i = 0; i < run.samples.count; ++i)
        out[size_t(i)] = displayValue(run.samples.values[i], run.unit, to);
    return out;
}

std::pair<int, int> indexRange(const Run& run, Align align, double fromX, double toX) {
    if (fromX > toX) std::swap(fromX, toX);
    const double off = offset(run, align);
    const TimeLine& times = run.samples.times;
    if (times.isNull()) return {0, 0};
    const int first = times.lowerBound(0, run.samples.count, fromX + off - kSameTime / 1000.0);
    return {first, times.upperBound(first, run.samples.count, toX + off + kSameTime / 1000.0)};
}

Row row(const Run& run, TemperatureUnit to, const RunLimits& limits, Align align,
        std::optional<std::pair<double, double>> range) {
    int first = 0, last = run.samples.count;
    if (range) std::tie(first, last) = indexRange(run, align, range->first, range->second);
    Row r;
    r.intervalSeconds = run.intervalSeconds;
    if (last <= first) return r;
    r.start = run.samples.times[first];
    r.end = run.samples.times[last - 1];
    // A run at a fixed interval has no array of times: they are made here.
    const TimeLine from = run.samples.times.from(first);
    std::vector<double> made;
    if (!from.array()) made = from.copy(last - first);
    const std::span<const double> times(from.array() ? from.array() : made.data(), size_t(last - first));
    std::span<const float> values(run.samples.values + first, size_t(last - first));
    std::vector<float> converted;
    if (run.unit != to) {
        converted.reserve(values.size());
        for (const float v : values)
            converted.push_back(displayValue(v, run.unit, to));
        values = converted;
    }
    r.figures = runFigures(times, values, run.intervalSeconds, to, limits);
    return r;
}

QStringList header(const RunLimits& limits) {
    QStringList h{QStringLiteral("Run"),     QStringLiteral("Start"),    QStringLiteral("End"),
                  QStringLiteral("Count"),   QStringLiteral("Interval"), QStringLiteral("Max"),
                  QStringLiteral("Max at"),  QStringLiteral("Min"),      QStringLiteral("Min at"),
                  QStringLiteral("Average"), QStringLiteral("MKT")};
    if (limits.high) h << QStringLiteral("Time above");
    if (limits.low) h << QStringLiteral("Time below");
    return h;
}

namespace {
QString durationText(double seconds) {
    const qint64 s = qint64(std::llround(seconds));
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

QStringList cells(const QString& label, const Row& row, const RunLimits& limits, const TextFormats& formats) {
    const RunFigures& f = row.figures;
    const bool any = f.readings > 0;
    const QString none = QStringLiteral("-");
    QStringList c{label,
                  f.samples ? formats.dateTime(row.start) : none,
                  f.samples ? formats.dateTime(row.end) : none,
                  QString::number(f.samples),
                  minutesSecondsText(row.intervalSeconds),
                  any ? formats.value(f.max, 1) : none,
                  any ? formats.dateTime(f.maxTime) : none,
                  any ? formats.value(f.min, 1) : none,
                  any ? formats.dateTime(f.minTime) : none,
                  any ? formats.value(f.average, 2) : none,
                  f.mkt.value ? formats.value(*f.mkt.value, 2) : none};
    if (limits.high) c << durationText(f.above.secondsBeyond);
    if (limits.low) c << durationText(f.below.secondsBeyond);
    return c;
}

Difference difference(const Run& a, const Run& b, Align align, TemperatureUnit unit) {
    Difference d;
    const int n = a.samples.count;
    d.x.resize(size_t(n));
    d.y.assign(size_t(n), kGap);
    const double offA = offset(a, align), offB = offset(b, align);
    const int m = b.samples.count;
    int j = 0; // B's last reading at or before the current time
    for (int i = 0; i < n; ++i) {
        const double x = drawnX(a, i, offA);
        d.x[size_t(i)] = x;
        const float va = a.samples.values[i];
        if (!isReading(va) || m == 0) continue;
        while (j + 1 < m && drawnX(b, j + 1, offB) <= x + kSameTime)
            ++j;
        const double xb = drawnX(b, j, offB);
        float vb = kGap;
        if (std::abs(xb - x) <= kSameTime) {
            vb = b.samples.values[j];
        } else if (xb < x && j + 1 < m) {
            const float v0 = b.samples.values[j], v1 = b.samples.values[j + 1];
            if (isReading(v0) && isReading(v1)) {
                const double x1 = drawnX(b, j + 1, offB);
                vb = float(v0 + (v1 - v0) * ((x - xb) / (x1 - xb)));
                d.method = Method::Linear;
            }
        }
        if (!isReading(vb)) continue;
        d.y[size_t(i)] = displayValue(va, a.unit, unit) - displayValue(vb, b.unit, unit);
    }
    return d;
}

DifferenceFigures figures(const Difference& d, std::optional<std::pair<double, double>> range) {
    DifferenceFigures f;
    double sum = 0.0;
    for (size_t i = 0; i < d.x.size(); ++i) {
        const float v = d.y[i];
        const double x = d.x[i];
        if (!isReading(v) || (range && (x < range->first || x > range->second))) continue;
        if (f.points == 0 || v > f.max) {
            f.max = v;
            f.maxX = x;
        }
        if (f.points == 0 || v < f.min) {
            f.min = v;
            f.minX = x;
        }
        sum += v;
        ++f.points;
    }
    if (f.points > 0) f.average = sum / f.points;
    return f;
}

QStringList differenceCells(const QString& label, const DifferenceFigures& f, double offsetA,
                            const RunLimits& limits, const TextFormats& formats) {
    const QString none = QStringLiteral("-");
    const bool any = f.points > 0;
    QStringList c(header(limits).size());
    c[0] = label;
    c[3] = QString::number(f.points);
    c[5] = any ? formats.value(f.max, 2) : none;
    c[6] = any ? formats.dateTime(f.maxX + offsetA) : none;
    c[7] = any ? formats.value(f.min, 2) : none;
    c[8] = any ? formats.dateTime(f.minX + offsetA) : none;
    c[9] = any ? formats.value(f.average, 2) : none;
    return c;
}

QString methodText(Method method) {
    return method == Method::Linear ? QStringLiteral("B interpolated linearly at A's reading times")
                                    : QStringLiteral("at the readings' common times");
}

namespace {
QByteArray csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text.toUtf8();
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

// Times to the millisecond, so equal times of different runs meet in one line.
qint64 timeKey(double x) {
    return qint64(std::llround(x * kSecondsPerDay * 1000.0));
}

void appendValue(QByteArray& line, float v) {
    if (!isReading(v)) return;
    // Two decimals keep a converted value (0.1 °C is 0.18 °F) apart from its neighbours.
    line += QByteArray::number(std::round(double(v) * 100.0) / 100.0, 'g', 10);
}

struct Column {
    TimeLine times; // sorted
    int count = 0;
    double off = 0.0;
    std::function<float(int)> value;
    int next = 0;
    qint64 key() const {
        return next < count ? timeKey(times[next] - off) : std::numeric_limits<qint64>::max();
    }
};
} // namespace

bool writeWideCsv(QIODevice& out, const std::vector<Run>& runs, Align align, TemperatureUnit unit,
                  const Difference* diff, const TextFormats& formats) {
    QByteArray line = align == Align::Clock ? "time" : "elapsed_s";
    std::vector<Column> columns;
    for (const Run& run : runs) {
        line += ',' + csvField(run.label(formats) + QStringLiteral(" (") + unitText(unit) + QLatin1Char(')'));
        Column c;
        c.times = run.samples.times;
        c.count = run.samples.count;
        c.off = offset(run, align);
        c.value = [&run, unit](int i) { return displayValue(run.samples.values[i], run.unit, unit); };
        columns.push_back(std::move(c));
    }
    if (diff) {
        line += ',' + csvField(QStringLiteral("A - B (") + unitText(unit) + QLatin1Char(')'));
        Column c;
        c.times = diff->x.data();
        c.count = int(diff->x.size());
        c.value = [diff](int i) { return diff->y[size_t(i)]; };
        columns.push_back(std::move(c));
    }
    line += "\r\n";
    if (out.write(line) != line.size()) return false;
    for (;;) {
        qint64 key = std::numeric_limits<qint64>::max();
        for (const Column& c : columns)
            key = std::min(key, c.key());
        if (key == std::numeric_limits<qint64>::max()) break;
        line.clear();
        if (align == Align::Clock) {
            const double x = double(key) / (kSecondsPerDay * 1000.0);
            line += dateOf(x).toString(Qt::ISODate).toLatin1() + ' ' +
                    timeOf(x).toString(QStringLiteral("HH:mm:ss")).toLatin1();
        } else {
            line += QByteArray::number(double(key) / 1000.0, 'g', 15);
        }
        for (Column& c : columns) {
            line += ',';
            if (c.key() != key) continue;
            appendValue(line, c.value(c.next));
            ++c.next;
        }
        line += "\r\n";
        if (out.write(line) != line.size()) return false;
    }
    return true;
}

Outcome writeWideCsvFile(const QString& fileName, const std::vector<Run>& runs, Align align,
                         TemperatureUnit unit, const Difference* diff, const TextFormats& formats) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || !writeWideCsv(file, runs, align, unit, diff, formats) ||
        !file.commit())
        return Outcome::fail(Outcome::Code::CannotWrite,
                             QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
    return Outcome::success();
}

} // namespace tq::compare
