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

TEST(IsoCsv, TimesCarryAnOffsetAndKeepTheRecordedFields) {
    const tq::test::InZone berlin("Europe/Berlin");
    EXPECT_EQ(isocsv::offsetAt(at(2024, 1, 15, 8, 0, 5)), 3600);
    EXPECT_EQ(isocsv::offsetAt(at(2024, 7, 15, 23, 59, 59)), 7200);
    // 02:30 on the day the clocks go back comes twice: its first pass.
    EXPECT_EQ(isocsv::offsetAt(at(2024, 10, 27, 2, 30, 0)), 7200);
    EXPECT_EQ(isocsv::timeText(at(2024, 1, 15, 8, 0, 5), 3600), QStringLiteral("2024-01-15T08:00:05+01:00"));
    // 02:30 does not exist on the day the clocks go forward: written as recorded.
    EXPECT_EQ(isocsv::timeText(at(2024, 3, 31, 2, 30, 0), 3600), QStringLiteral("2024-03-31T02:30:00+01:00"));
    EXPECT_EQ(isocsv::timeText(at(2024, 1, 15, 8, 0, 0) + 0.25 * kOneSecond, -18000),
              QStringLiteral("2024-01-15T08:00:00.250-05:00"));
    const tq::test::InZone kolkata("Asia/Kolkata");
    EXPECT_EQ(isocsv::offsetAt(at(2024, 1, 15, 8, 0, 0)), 19800);
    EXPECT_EQ(isocsv::timeText(at(2024, 1, 15, 8, 0, 0), 19800), QStringLiteral("2024-01-15T08:00:00+05:30"));
}

TEST(IsoCsv, InstantsStayOneIntervalApartAcrossAChangeOfTheClocks) {
    // Half-hourly readings from 00:30 over each change, as the logger's
    // clock counts them (it knows no zones): every line carries the offset
    // of the run's start.
    struct Case {
        const char* zone;
        int year, month, day;
        const char* offset;
    };
    for (const Case& c :
         {Case{"Europe/Berlin", 2024, 3, 31, "+01:00"}, Case{"Europe/Berlin", 2024, 10, 27, "+02:00"},
          Case{"America/New_York", 2024, 3, 10, "-05:00"}, Case{"America/New_York", 2024, 11, 3, "-04:00"}}) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.month));
        const tq::test::InZone zone(c.zone);
        Points p;
        for (int i = 0; i < 10; ++i) {
            p.xs.push_back(at(c.year, c.month, c.day, 0, 30, 0) + i * 1800 * kOneSecond);
            p.ys.push_back(20.0f + float(i));
        }
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        NoProgress progress;
        // Also from the middle of the run: the offset is still the start's.
        for (const qint64 first : {1, 6}) {
            out.buffer().clear();
            out.seek(0);
            ASSERT_EQ(
                isocsv::write(out, p, TemperatureUnit::Celsius, first, 10, progress, QStringLiteral("x"))
                    .lines,
                11 - first);
            const QStringList lines =
                QString::fromLatin1(out.data()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            ASSERT_EQ(lines.size(), 12 - first);
            qint64 previous = 0;
            for (qint64 i = 1; i < lines.size(); ++i) {
                const QString time = lines[i].section(QLatin1Char(','), 0, 0);
                EXPECT_TRUE(time.endsWith(QLatin1String(c.offset))) << time.toStdString();
                const qint64 instant = QDateTime::fromString(time, Qt::ISODate).toSecsSinceEpoch();
                if (i > 1) EXPECT_EQ(instant - previous, 1800) << time.toStdString();
                previous = instant;
            }
        }
    }
}

TEST(IsoCsv, LinesReadBackToTheirTimesAndValues) {
    TDateTime x = 0;
    float y = 0;
    EXPECT_TRUE(isocsv::isHeader(u"time,temperature_C"));
    EXPECT_TRUE(isocsv::isHeader(u"\uFEFFtime,temperature_F "));
    EXPECT_FALSE(isocsv::isHeader(u"time,humidity"));
    EXPECT_FALSE(isocsv::readLine(u"time,temperature_C", x, y));

    ASSERT_TRUE(isocsv::readLine(u"2024-06-03T08:00:05+02:00,-12.5", x, y));
    EXPECT_EQ(x, at(2024, 6, 3, 8, 0, 5)); // the fields as written, whatever the zone here
    EXPECT_EQ(y, -12.5f);
    ASSERT_TRUE(isocsv::readLine(u"2024-06-03T08:00:05.25Z,", x, y));
    EXPECT_EQ(x, toDays(QDate(2024, 6, 3), QTime(8, 0, 5, 250)));
    EXPECT_EQ(y, 9999.0f); // empty: out of range
    ASSERT_TRUE(isocsv::readLine(u"2024-06-03T08:00:05-05:30,abc", x, y));
    EXPECT_EQ(y, 9999.0f);
    ASSERT_TRUE(isocsv::readLine(u"2024-06-03T08:00:05+02:00,1,5", x, y));
    EXPECT_EQ(y, 9999.0f); // a decimal comma is no value here
    for (const char16_t* bad : {u"2024-02-30T08:00:00+01:00,1.0", u"2024-06-03T24:00:00+01:00,1.0",
                                u"2024-06-03 junk,1.0", u"2024-06-03T08:00:00+01:00", u"", u",,,"}) {
        EXPECT_FALSE(isocsv::readLine(bad, x, y)) << QString::fromUtf16(bad).toStdString();
    }
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

TEST(IsoCsv, LiveHeadersAndTheirColumns) {
    EXPECT_EQ(isocsv::liveHeader(TemperatureUnit::Celsius, false), isocsv::header(TemperatureUnit::Celsius));
    EXPECT_EQ(isocsv::liveHeader(TemperatureUnit::Fahrenheit, true),
              QByteArray("time,temperature_F,humidity_%RH,dewpoint_F\r\n"));
    EXPECT_EQ(isocsv::columnsOf(u"time,temperature_F"), 1);
    EXPECT_EQ(isocsv::columnsOf(u"\uFEFFtime,temperature_C,humidity_%RH,dewpoint_C\r"), 3);
    EXPECT_EQ(isocsv::columnsOf(u"time,temperature_C,humidity_%RH,dewpoint_F"), 0); // units must agree
    EXPECT_EQ(isocsv::unitOf(u"time,temperature_F,humidity_%RH,dewpoint_F"), TemperatureUnit::Fahrenheit);

    TDateTime x = 0;
    float y = 0;
    const LineReading humidity = isocsv::columnReading(3, 1);
    ASSERT_TRUE(humidity(u"2024-06-03T08:00:05+02:00,-12.5,45.6,-20.1", x, y));
    EXPECT_EQ(y, 45.6f);
    ASSERT_TRUE(humidity(u"2024-06-03T08:00:06+02:00,-12.5", x, y)); // a column missing is a gap
    EXPECT_EQ(y, 9999.0f);
    ASSERT_TRUE(isocsv::columnReading(3, 2)(u"2024-06-03T08:00:07+02:00,1,5,6.5", x, y));
    EXPECT_EQ(y, 6.5f);
    // A line in another offset is moved to the first line's.
    ASSERT_TRUE(humidity(u"2024-06-03T07:00:08+01:00,,50.0,", x, y));
    EXPECT_NEAR(x, toDays(QDate(2024, 6, 3), QTime(8, 0, 8)), kOneSecond / 1000);

    EXPECT_TRUE(isocsv::isWholeLine(u"2024-06-03T08:00:05.250+02:00,-12.5,45.6,", 3));
    const std::pair<const char16_t*, int> cut[] = {{u"2024-06-03T08:00:05+02:00,-12.5,45.6", 3},
                                                   {u"2024-06-03T08:00:05+02:00,-12.5,4,1.0", 3},
                                                   {u"2024-06-03T08:00:05+02:00,-1", 1},
                                                   {u"2024-06-03T08:00:05+02", 1},
                                                   {u"", 1}};
    for (const auto& [line, columns] : cut)
        EXPECT_FALSE(isocsv::isWholeLine(line, columns)) << QString::fromUtf16(line).toStdString();
}
