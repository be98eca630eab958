#include "IsoCsvFile.h"

#include "Progress.h"
#include "TimeZone.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace tq;

namespace {
struct Points : PointSource {
    std::vector<double> xs;
    std::vector<float> ys;
    double x(qint64 i) const override { return i >= 0 && i < qint64(xs.size()) ? xs[size_t(i)] : 0.0; }
    float y(qint64 i) const override { return i >= 0 && i < qint64(ys.size()) ? ys[size_t(i)] : 9999.0f; }
};

TDateTime at(int y, int mo, int d, int h, int mi, int s) {
    TDateTime t = 0;
    encodeDateTime(y, mo, d, h, mi, s, t);
    return t;
}

} // namespace

TEST(IsoCsv, TimesCarryTheirOffsetAndKeepTheRecordedFields) {
    const tq::test::InZone berlin("Europe/Berlin");
    EXPECT_EQ(isocsv::timeText(at(2024, 1, 15, 8, 0, 5)), QStringLiteral("2024-01-15T08:00:05+01:00"));
    EXPECT_EQ(isocsv::timeText(at(2024, 7, 15, 23, 59, 59)), QStringLiteral("2024-07-15T23:59:59+02:00"));
    // 02:30 does not exist on the day the clocks go forward: written as
    // recorded, with the offset after the change.
    EXPECT_EQ(isocsv::timeText(at(2024, 3, 31, 2, 30, 0)).left(19), QStringLiteral("2024-03-31T02:30:00"));
    const tq::test::InZone newYork("America/New_York");
    EXPECT_EQ(isocsv::timeText(at(2024, 1, 15, 8, 0, 0)), QStringLiteral("2024-01-15T08:00:00-05:00"));
    const tq::test::InZone kolkata("Asia/Kolkata");
    EXPECT_EQ(isocsv::timeText(at(2024, 1, 15, 8, 0, 0)), QStringLiteral("2024-01-15T08:00:00+05:30"));
}

TEST(IsoCsv, HeaderPointDecimalsEmptyMarksAndTheRange) {
    const tq::test::InZone utc("UTC");
    Points p;
    for (int i = 0; i < 5; ++i)
        p.xs.push_back(at(2024, 6, 3, 8, i, 0));
    p.ys = {-12.5f, 9999.0f, 23.45f, -9999.0f, 3000.0f};
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    NoProgress progress;
    const TextWriteOutcome o =
        isocsv::write(out, p, TemperatureUnit::Fahrenheit, 1, 5, progress, QStringLiteral("x"));
    EXPECT_EQ(o.lines, 5);
    EXPECT_EQ(out.data(), QByteArray("time,temperature_F\r\n"
                                     "2024-06-03T08:00:00+00:00,-12.5\r\n"
                                     "2024-06-03T08:01:00+00:00,\r\n"
                                     "2024-06-03T08:02:00+00:00,23.5\r\n"
                                     "2024-06-03T08:03:00+00:00,\r\n"
                                     "2024-06-03T08:04:00+00:00,3000.0\r\n"));
    // A range, and a point never filled ends the file.
    p.xs[3] = 0.0;
    QBuffer part;
    part.open(QIODevice::WriteOnly);
    EXPECT_EQ(isocsv::write(part, p, TemperatureUnit::Celsius, 2, 5, progress, QStringLiteral("x")).lines, 2);
    EXPECT_EQ(part.data(), QByteArray("time,temperature_C\r\n"
                                      "2024-06-03T08:01:00+00:00,\r\n"
                                      "2024-06-03T08:02:00+00:00,23.5\r\n"));
    // A device that refuses the write is an error, never a quiet success.
    QBuffer closed;
    EXPECT_ANY_THROW(isocsv::write(closed, p, TemperatureUnit::Celsius, 1, 2, progress, QStringLiteral("x")));
}
