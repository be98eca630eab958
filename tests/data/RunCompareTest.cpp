// Runs side by side: alignment, display unit, the table's figures, the
// difference and the wide CSV.

#include "RunCompare.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace tq;
using namespace tq::compare;

namespace {

constexpr double kMinute = 60.0 / kSecondsPerDay;
const TDateTime kStart = 45000.5; // 2023-03-15 12:00

struct Held {
    std::vector<double> times;
    std::vector<float> values;
};

compare::Run makeRun(TDateTime start, int intervalSeconds, std::vector<float> values,
                     TemperatureUnit unit = TemperatureUnit::Celsius,
                     const QString& name = QStringLiteral("run")) {
    auto held = std::make_shared<Held>();
    held->values = std::move(values);
    for (size_t i = 0; i < held->values.size(); ++i)
        held->times.push_back(start + double(i) * intervalSeconds / kSecondsPerDay);
    compare::Run r;
    r.source = name;
    r.intervalSeconds = intervalSeconds;
    r.unit = unit;
    r.samples = {held->values.data(), held->times.data(), int(held->values.size()), held};
    return r;
}

QStringList csvLines(const std::vector<compare::Run>& runs, Align align, TemperatureUnit unit,
                     const Difference* d) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writeWideCsv(buffer, runs, align, unit, d, TextFormats::iso()));
    QStringList lines = QString::fromUtf8(buffer.data()).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.last(), QString());
    lines.removeLast();
    return lines;
}

} // namespace

TEST(RunCompare, AlignsByClockAndByElapsedTimeWithGapsAndDifferentIntervals) {
    // A: a reading a minute, a gap in the middle; B: an hour later, one every two minutes.
    const compare::Run a = makeRun(kStart, 60, {20.0f, 21.0f, 9999.0f, 23.0f, 24.0f});
    const compare::Run b = makeRun(kStart + 60 * kMinute, 120, {10.0f, 11.0f, -9999.0f, 13.0f});
    EXPECT_EQ(offset(a, Align::Clock), 0.0);
    EXPECT_EQ(offset(b, Align::Elapsed), b.start());

    // The first four minutes: by clock only A has readings; by elapsed time both.
    EXPECT_EQ(indexRange(a, Align::Clock, kStart, kStart + 4 * kMinute), std::make_pair(0, 5));
    EXPECT_EQ(indexRange(b, Align::Clock, kStart, kStart + 4 * kMinute), std::make_pair(0, 0));
    EXPECT_EQ(indexRange(b, Align::Elapsed, 0.0, 4 * kMinute), std::make_pair(0, 3));
    EXPECT_EQ(indexRange(b, Align::Elapsed, 4 * kMinute, 0.0), std::make_pair(0, 3)); // either order
    EXPECT_EQ(indexRange(a, Align::Elapsed, 3.5 * kMinute, 10 * kMinute), std::make_pair(4, 5));

    // By elapsed time the lines meet where both have a time; gaps are empty cells.
    EXPECT_EQ(csvLines({a, b}, Align::Elapsed, TemperatureUnit::Celsius, nullptr),
              QStringList({"elapsed_s,\"run, 2023-03-15 (°C)\",\"run, 2023-03-15 (°C)\"", "0,20,10", "60,21,",
                           "120,,11", "180,23,", "240,24,", "360,,13"}));
    // By clock they stay an hour apart.
    const QStringList clock = csvLines({a, b}, Align::Clock, TemperatureUnit::Celsius, nullptr);
    ASSERT_EQ(clock.size(), 1 + 5 + 4);
    EXPECT_EQ(clock[1], QStringLiteral("2023-03-15 12:00:00,20,"));
    EXPECT_EQ(clock[6], QStringLiteral("2023-03-15 13:00:00,,10"));
    EXPECT_EQ(clock[9], QStringLiteral("2023-03-15 13:06:00,,13"));
}

TEST(RunCompare, ConvertsForDisplayOnlyAndKeepsMarks) {
    using U = TemperatureUnit;
    EXPECT_FLOAT_EQ(displayValue(0.0f, U::Celsius, U::Fahrenheit), 32.0f);
    EXPECT_FLOAT_EQ(displayValue(100.0f, U::Celsius, U::Fahrenheit), 212.0f);
    EXPECT_FLOAT_EQ(displayValue(-40.0f, U::Fahrenheit, U::Celsius), -40.0f);
    EXPECT_FLOAT_EQ(displayValue(98.6f, U::Fahrenheit, U::Celsius), 37.0f);
    EXPECT_EQ(displayValue(23.5f, U::Celsius, U::Celsius), 23.5f);
    for (const float mark : {9999.0f, -9999.0f, 3000.1f})
        EXPECT_EQ(displayValue(mark, U::Celsius, U::Fahrenheit), mark);

    const compare::Run f = makeRun(kStart, 60, {32.0f, 9999.0f, 212.0f}, U::Fahrenheit);
    EXPECT_FALSE(convertedValues(f, U::Fahrenheit).has_value());
    const auto c = convertedValues(f, U::Celsius);
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(*c, std::vector<float>({0.0f, 9999.0f, 100.0f}));
    // The run's own readings are untouched.
    EXPECT_EQ(f.samples.values[0], 32.0f);
}

TEST(RunCompare, TableFiguresMatchADirectComputation) {
    std::vector<float> values;
    for (int i = 0; i < 500; ++i)
        values.push_back(i % 97 == 5 ? 9999.0f : float(40.0 + 15.0 * std::sin(i * 0.05) + (i % 7) * 0.1));
    const compare::Run f = makeRun(kStart, 30, values, TemperatureUnit::Fahrenheit);
    const RunLimits limits{5.0, 12.0}; // in °C
    // Between two drawn times: readings 100 ... 299.
    const double from = kStart + 100 * 30 / kSecondsPerDay, to = kStart + 299 * 30 / kSecondsPerDay;
    for (const bool whole : {true, false}) {
        SCOPED_TRACE(whole ? "whole run" : "between cursors");
        const Row r = whole ? row(f, TemperatureUnit::Celsius, limits)
                            : row(f, TemperatureUnit::Celsius, limits, Align::Clock, std::pair{from, to});
        const int first = whole ? 0 : 100, last = whole ? 500 : 300;
        int n = 0, above = 0, below = 0, marks = 0;
        double sum = 0.0, expSum = 0.0, max = -1e9, min = 1e9, maxTime = 0, minTime = 0;
        const double ea = 83.144e3 / 8.314462618;
        for (int i = first; i < last; ++i) {
            if (values[size_t(i)] > 3000.0f) {
                ++marks;
                continue;
            }
            const double c = (double(values[size_t(i)]) - 32.0) * 5.0 / 9.0;
            ++n;
            sum += c;
            expSum += std::exp(-ea / (c + 273.15));
            if (c > max) max = c, maxTime = f.samples.times[i];
            if (c < min) min = c, minTime = f.samples.times[i];
            above += float(c) > 12.0f;
            below += float(c) < 5.0f;
        }
        const double mkt = ea / -std::log(expSum / n) - 273.15;
        EXPECT_EQ(r.start, f.samples.times[first]);
        EXPECT_EQ(r.end, f.samples.times[last - 1]);
        EXPECT_EQ(r.figures.samples, last - first);
        EXPECT_EQ(r.figures.readings, n);
        EXPECT_EQ(r.figures.outOfRange, marks);
        EXPECT_NEAR(r.figures.max, max, 1e-4);
        EXPECT_NEAR(r.figures.min, min, 1e-4);
        EXPECT_EQ(r.figures.maxTime, maxTime);
        EXPECT_EQ(r.figures.minTime, minTime);
        EXPECT_NEAR(r.figures.average, sum / n, 1e-4);
        ASSERT_TRUE(r.figures.mkt.value.has_value());
        EXPECT_NEAR(*r.figures.mkt.value, mkt, 1e-3);
        EXPECT_NEAR(r.figures.above.secondsBeyond, above * 30.0, 1e-9);
        EXPECT_NEAR(r.figures.below.secondsBeyond, below * 30.0, 1e-9);
        EXPECT_GT(above + below, 0);
    }
    // The cells: a column per figure, limits only when set.
    const QStringList cellsWith =
        cells(QStringLiteral("x"), row(f, TemperatureUnit::Celsius, limits), limits, TextFormats::iso());
    EXPECT_EQ(cellsWith.size(), header(limits).size());
    EXPECT_EQ(header(RunLimits{}).size(), header(limits).size() - 2);
    EXPECT_EQ(cellsWith[4], QStringLiteral("00:30"));
}

TEST(RunCompare, DifferenceAtCommonTimesAndByLinearInterpolation) {
    using U = TemperatureUnit;
    const compare::Run a = makeRun(kStart, 60, {20.0f, 21.0f, 22.0f, 9999.0f, 24.0f, 25.0f});
    // The same times, in °F: 20 °C is 68 °F.
    const compare::Run same =
        makeRun(kStart, 60, {68.0f, 68.0f, 68.0f, 68.0f, -9999.0f, 68.0f}, U::Fahrenheit);
    Difference d = difference(a, same, Align::Clock, U::Celsius);
    EXPECT_EQ(d.method, Method::SameTimes);
    ASSERT_EQ(d.y.size(), 6u);
    EXPECT_NEAR(d.y[1], 1.0f, 1e-5);
    EXPECT_EQ(d.y[3], kGap); // A has no reading
    EXPECT_EQ(d.y[4], kGap); // B has none
    DifferenceFigures f = figures(d);
    EXPECT_EQ(f.points, 4);
    EXPECT_NEAR(f.max, 5.0f, 1e-5);
    EXPECT_EQ(f.maxX, a.samples.times[5]);
    EXPECT_NEAR(f.min, 0.0f, 1e-5);
    EXPECT_NEAR(f.average, (0 + 1 + 2 + 5) / 4.0, 1e-5);
    EXPECT_EQ(figures(d, std::pair{a.samples.times[1], a.samples.times[2]}).points, 2);

    // B half a minute later, every two minutes: interpolated between its readings.
    const compare::Run b = makeRun(kStart + 0.5 * kMinute, 120, {10.0f, 14.0f, 9999.0f, 30.0f});
    d = difference(a, b, Align::Clock, U::Celsius);
    EXPECT_EQ(d.method, Method::Linear);
    EXPECT_EQ(d.y[0], kGap);                  // before B's first reading
    EXPECT_NEAR(d.y[1], 21.0f - 11.0f, 1e-4); // B at 1:00 is a quarter of the way from 10 to 14
    EXPECT_NEAR(d.y[2], 22.0f - 13.0f, 1e-4);
    EXPECT_EQ(d.y[4], kGap); // B's neighbours include a mark
    EXPECT_EQ(d.y[5], kGap);
    // By elapsed time the same runs meet at the same times again.
    d = difference(a, b, Align::Elapsed, U::Celsius);
    EXPECT_NEAR(d.y[0], 10.0f, 1e-4);
    EXPECT_NEAR(d.y[2], 22.0f - 14.0f, 1e-4);
    EXPECT_NEAR(d.y[1], 21.0f - 12.0f, 1e-4);
    EXPECT_EQ(d.x[0], 0.0);
}

TEST(RunCompare, WideCsvReadsBackToTheRunsValues) {
    const compare::Run a =
        makeRun(kStart, 60, {20.04f, 9999.0f, 22.5f, -3.25f}, TemperatureUnit::Celsius, "a, \"x\"");
    const compare::Run b =
        makeRun(kStart + 2 * kMinute, 120, {70.0f, 71.6f}, TemperatureUnit::Fahrenheit, "b");
    const Difference d = difference(a, b, Align::Clock, TemperatureUnit::Celsius);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("wide.csv"));
    const Outcome written =
        writeWideCsvFile(name, {a, b}, Align::Clock, TemperatureUnit::Celsius, &d, TextFormats::iso());
    ASSERT_TRUE(written.ok()) << written.text.toStdString();

    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 5);
    EXPECT_EQ(lines[0],
              QStringLiteral("time,\"a, \"\"x\"\", 2023-03-15 (°C)\",\"b, 2023-03-15 (°C)\",A - B (°C)"));
    // Each line: the time, then a's, b's and the difference's value, or nothing.
    std::vector<std::vector<QString>> cellsOf;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList c = lines[i].split(QLatin1Char(','));
        ASSERT_EQ(c.size(), 4) << lines[i].toStdString();
        cellsOf.push_back({c[0], c[1], c[2], c[3]});
    }
    EXPECT_EQ(cellsOf[0][0], QStringLiteral("2023-03-15 12:00:00"));
    EXPECT_EQ(cellsOf[0][1], QStringLiteral("20.04"));
    EXPECT_EQ(cellsOf[1][1], QString()); // the mark
    EXPECT_EQ(cellsOf[2][0], QStringLiteral("2023-03-15 12:02:00"));
    EXPECT_NEAR(cellsOf[2][2].toDouble(), (70.0 - 32.0) * 5.0 / 9.0, 0.005);
    EXPECT_NEAR(cellsOf[2][3].toDouble(), 22.5 - (70.0 - 32.0) * 5.0 / 9.0, 0.005);
    EXPECT_EQ(cellsOf[3][1], QStringLiteral("-3.25"));
    EXPECT_EQ(cellsOf[3][2], QString());
    EXPECT_EQ(cellsOf[4][0], QStringLiteral("2023-03-15 12:04:00"));
    EXPECT_EQ(cellsOf[4][1], QString());
    EXPECT_NEAR(cellsOf[4][2].toDouble(), 22.0, 0.005);

    // A file that cannot be written says so.
    const Outcome refused =
        writeWideCsvFile(dir.filePath(QStringLiteral("no/such/folder.csv")), {a}, Align::Clock,
                         TemperatureUnit::Celsius, nullptr, TextFormats::iso());
    EXPECT_EQ(refused.code, Outcome::Code::CannotWrite);
    EXPECT_TRUE(refused.text.contains(QStringLiteral("folder.csv")));
}
