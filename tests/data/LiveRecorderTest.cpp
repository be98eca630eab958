#include "LiveRecorder.h"
#include "IsoCsvFile.h"
#include "Progress.h"
#include "TimeZone.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using namespace tq;

namespace {

TDateTime at(int y, int mo, int d, int h, int mi, int s) {
    TDateTime t = 0;
    encodeDateTime(y, mo, d, h, mi, s, t);
    return t;
}

// As text, so a failure shows the lines.
std::string bytesOf(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

void writeBytes(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Read {
    std::vector<double> x;
    std::vector<float> y;
};

// The file as the program's readers take it: first line, scan, then points.
Read readColumn(const QString& name, int column) {
    struct Sink : PointSink {
        Read& r;
        explicit Sink(Read& r) : r(r) {}
        void setX(qint64 i, double x) override { r.x.resize(size_t(i) + 1), r.x[size_t(i)] = x; }
        void setY(qint64 i, float y) override { r.y.resize(size_t(i) + 1), r.y[size_t(i)] = y; }
    };
    Read r;
    const std::string all = bytesOf(name);
    const int columns = isocsv::columnsOf(QString::fromStdString(all.substr(0, all.find('\n'))));
    EXPECT_GT(columns, 0);
    const LineReading reading = isocsv::columnReading(columns, column);
    QFile f(name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    NoProgress progress;
    const TextScan scan = scanTextLines(f, reading, progress,
                                        [columns](QStringView l) { return isocsv::isWholeLine(l, columns); });
    f.seek(0);
    Sink sink(r);
    readTextPoints(f, reading, scan.lines, sink, progress);
    return r;
}

class LiveRecorderTest : public ::testing::Test {
  protected:
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
    tq::test::InZone utc{"UTC"};
};

LiveSample sample(TDateTime t, float temperature, float humidity = kNullReading, float dew = kNullReading,
                  bool fahrenheit = false) {
    return LiveSample{t, temperature, humidity, dew, fahrenheit};
}

} // namespace

TEST_F(LiveRecorderTest, NewFileThenAppendingToIt) {
    const QString name = path("live.csv");
    const TDateTime t0 = at(2026, 12, 9, 6, 0, 0);
    {
        LiveRecorder r;
        ASSERT_TRUE(r.open(name, 862, false)) << r.error().toStdString();
        EXPECT_TRUE(r.append(sample(t0, 21.5f, 45.6f, 9.3f)));
        EXPECT_TRUE(r.append(sample(t0 + 1.25 * kOneSecond, kHighMark, kNullReading, kNullReading)));
        EXPECT_TRUE(r.appendGap(t0 + 3 * kOneSecond));
        EXPECT_EQ(r.lines(), 3);
        // On the disk at once, not when the recorder closes.
        EXPECT_EQ(bytesOf(name), std::string("time,temperature_C,humidity_%RH,dewpoint_C\r\n"
                                             "2026-12-09T06:00:00+00:00,21.5,45.6,9.3\r\n"
                                             "2026-12-09T06:00:01.250+00:00,,,\r\n"
                                             "2026-12-09T06:00:03+00:00,,,\r\n"));
    }
    LiveRecorder again;
    ASSERT_TRUE(again.open(name, 862, false)) << again.error().toStdString();
    EXPECT_TRUE(again.append(sample(t0 + 4 * kOneSecond, -3.0f, 100.0f, -3.0f)));
    EXPECT_EQ(again.lines(), 1);
    again.close();
    EXPECT_FALSE(again.isOpen());
    EXPECT_TRUE(
        QByteArray::fromStdString(bytesOf(name))
            .endsWith("2026-12-09T06:00:03+00:00,,,\r\n2026-12-09T06:00:04+00:00,-3.0,100.0,-3.0\r\n"));

    const Read t = readColumn(name, 0), h = readColumn(name, 1);
    ASSERT_EQ(t.y.size(), 4u);
    EXPECT_EQ(t.y, (std::vector<float>{21.5f, kNullReading, kNullReading, -3.0f}));
    EXPECT_EQ(h.y, (std::vector<float>{45.6f, kNullReading, kNullReading, 100.0f}));
    EXPECT_EQ(t.x[3], t0 + 4 * kOneSecond);

    // The 860's file is the ISO CSV of one temperature, in F here.
    const QString f = path("f.csv");
    LiveRecorder r860;
    ASSERT_TRUE(r860.open(f, 860, true));
    EXPECT_TRUE(r860.append(sample(t0, 70.2f, kNullReading, kNullReading, true)));
    EXPECT_TRUE(r860.appendGap(t0 + kOneSecond));
    EXPECT_EQ(bytesOf(f), std::string("time,temperature_F\r\n2026-12-09T06:00:00+00:00,70.2\r\n"
                                      "2026-12-09T06:00:01+00:00,\r\n"));
}

TEST_F(LiveRecorderTest, RefusesOtherFilesAndAnotherUnit) {
    const TDateTime t0 = at(2026, 12, 9, 6, 0, 0);
    const QString other = path("other.csv");
    writeBytes(other, "date,value\r\n1,2\r\n");
    LiveRecorder r;
    EXPECT_FALSE(r.open(other, 860, false));
    EXPECT_FALSE(r.isOpen());
    EXPECT_TRUE(r.error().contains(QDir::toNativeSeparators(other))) << r.error().toStdString();
    EXPECT_TRUE(r.error().contains(QStringLiteral("is not a recording of live readings")));
    EXPECT_EQ(bytesOf(other), std::string("date,value\r\n1,2\r\n"));

    // Another model's or unit's recording is not added to.
    const QString c860 = path("c860.csv");
    ASSERT_TRUE(r.open(c860, 860, false));
    r.close();
    for (const auto& [model, fahrenheit] : {std::pair{862, false}, std::pair{860, true}}) {
        EXPECT_FALSE(r.open(c860, model, fahrenheit));
        EXPECT_TRUE(r.error().contains(QStringLiteral("holds readings of another kind")))
            << r.error().toStdString();
    }
    EXPECT_FALSE(r.open(dir.path(), 860, false));
    EXPECT_TRUE(r.error().contains(QStringLiteral("is not a file")));
    EXPECT_FALSE(r.append(sample(t0, 1.0f)));

    // A sample in another unit is not written under this header.
    ASSERT_TRUE(r.open(c860, 860, false));
    LiveRecorder second;
    EXPECT_FALSE(second.open(c860, 860, false));
    EXPECT_TRUE(second.error().contains(QStringLiteral("is being recorded to already")));
    EXPECT_FALSE(r.append(sample(t0, 70.0f, kNullReading, kNullReading, true)));
    EXPECT_TRUE(r.error().contains(QStringLiteral("not written under the wrong unit")))
        << r.error().toStdString();
    EXPECT_EQ(bytesOf(c860), std::string("time,temperature_C\r\n"));
    EXPECT_EQ(r.lines(), 0);
}

TEST_F(LiveRecorderTest, ALineCutShortIsSkippedAndAppendingStartsAfreshLine) {
    const QString name = path("cut.csv");
    const std::string whole = "time,temperature_C\r\n2026-12-09T06:00:00+00:00,-12.5\r\n";
    // A reader skips the cut line ("-1" of "-12.5"); a line that is whole
    // but for its line end is a reading.
    for (const char* cut : {"2026-12-09T06:00:01+00:00,-1", "2026-12-09T06:0"}) {
        SCOPED_TRACE(cut);
        writeBytes(name, QByteArray::fromStdString(whole + cut));
        EXPECT_EQ(readColumn(name, 0).y, std::vector<float>{-12.5f});
        LiveRecorder r;
        ASSERT_TRUE(r.open(name, 860, false)) << r.error().toStdString();
        ASSERT_TRUE(r.append(sample(at(2026, 12, 9, 6, 0, 2), 4.0f)));
        EXPECT_EQ(bytesOf(name), std::string(whole) + "2026-12-09T06:00:02+00:00,4.0\r\n");
    }
    // Cut after its comma a line is a gap, as written for one.
    writeBytes(name, QByteArray::fromStdString(whole + "2026-12-09T06:00:01+00:00,"));
    EXPECT_EQ(readColumn(name, 0).y, (std::vector<float>{-12.5f, kNullReading}));
    writeBytes(name, QByteArray::fromStdString(whole + "2026-12-09T06:00:01+00:00,-12.4"));
    EXPECT_EQ(readColumn(name, 0).y, (std::vector<float>{-12.5f, -12.4f}));
    LiveRecorder r;
    ASSERT_TRUE(r.open(name, 860, false));
    ASSERT_TRUE(r.append(sample(at(2026, 12, 9, 6, 0, 2), 4.0f)));
    EXPECT_EQ(bytesOf(name),
              std::string(whole) + "2026-12-09T06:00:01+00:00,-12.4\r\n2026-12-09T06:00:02+00:00,4.0\r\n");
    // Only the header, without its line end.
    writeBytes(name, "time,temperature_C");
    ASSERT_TRUE(r.open(name, 860, false));
    ASSERT_TRUE(r.append(sample(at(2026, 12, 9, 6, 0, 2), 4.0f)));
    EXPECT_EQ(bytesOf(name), std::string("time,temperature_C\r\n2026-12-09T06:00:02+00:00,4.0\r\n"));
}

TEST_F(LiveRecorderTest, EachLineCarriesTheOffsetInForceAndReadsBackEvenly) {
    const tq::test::InZone berlin("Europe/Berlin");
    const QString name = path("autumn.csv");
    LiveRecorder r;
    ASSERT_TRUE(r.open(name, 860, false));
    // The clocks go back at 03:00 CEST to 02:00 CET: the hour from 02:00
    // comes twice, and each pass gets its own offset.
    const int wall[][2] = {{1, 59 * 60 + 59}, {2, 0}, {2, 59 * 60 + 59}, {2, 0}, {2, 1}};
    for (const auto& [hour, seconds] : wall)
        ASSERT_TRUE(r.append(sample(at(2026, 10, 25, hour, seconds / 60, seconds % 60), 5.0f)));
    EXPECT_EQ(bytesOf(name),
              std::string("time,temperature_C\r\n2026-10-25T01:59:59+02:00,5.0\r\n"
                          "2026-10-25T02:00:00+02:00,5.0\r\n2026-10-25T02:59:59+02:00,5.0\r\n"
                          "2026-10-25T02:00:00+01:00,5.0\r\n2026-10-25T02:00:01+01:00,5.0\r\n"));
    // Read back in the first line's offset: as far apart as recorded.
    const Read read = readColumn(name, 0);
    ASSERT_EQ(read.x.size(), 5u);
    const double apart[] = {1.0, 3599.0, 1.0, 1.0};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_NEAR((read.x[i + 1] - read.x[i]) * kSecondsPerDay, apart[i], 1e-3) << i;
}
