#include "LiveValues.h"
#include "LimitWatch.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tq;

namespace {
constexpr TDateTime kStart = 46000.25;
TDateTime second(int i) {
    return kStart + i * kOneSecond;
}
double rounded(float v) {
    return std::round(double(v) * 10.0) / 10.0;
}
} // namespace

TEST(LiveValues, DewPointMatchesPublishedValues) {
    EXPECT_EQ(rounded(dewPoint(20.0f, 50.0f, false)), 9.3);
    EXPECT_EQ(rounded(dewPoint(30.0f, 80.0f, false)), 26.2);
    EXPECT_EQ(rounded(dewPoint(-10.0f, 80.0f, false)), -12.8);
    EXPECT_NEAR(dewPoint(25.0f, 100.0f, false), 25.0f, 1e-4);
    // The same air in F: 68 F is 20 C, 9.26 C is 48.7 F.
    EXPECT_EQ(rounded(dewPoint(68.0f, 50.0f, true)), 48.7);
    // No dew point without a humidity above 0 and at most 100 %, or without a temperature.
    for (const float h : {0.0f, -0.1f, 100.1f, kNullReading})
        EXPECT_EQ(dewPoint(20.0f, h, false), kNullReading) << h;
    EXPECT_EQ(dewPoint(kLowMark, 50.0f, false), kNullReading);
    EXPECT_EQ(dewPoint(kHighMark, 50.0f, false), kNullReading);
}

TEST(LiveValues, CountsBecomeValuesWithTheDecodersMarks) {
    LiveSample s = liveSample(kStart, 860, 234, 456, false);
    EXPECT_EQ(s.time, kStart);
    EXPECT_FLOAT_EQ(s.temperature, 23.4f);
    EXPECT_EQ(s.humidity, kNullReading); // an 860 has none, whatever the frame holds
    EXPECT_EQ(s.dewPoint, kNullReading);
    EXPECT_FALSE(s.fahrenheit);
    // The limits themselves are readings; beyond them the marks.
    const std::pair<qint16, float> marks[] = {{-2000, -200.0f},   {-2001, kLowMark},  {13700, 1370.0f},
                                              {13701, kHighMark}, {32767, kHighMark}, {-32768, kLowMark}};
    for (const auto& [count, value] : marks)
        EXPECT_FLOAT_EQ(liveSample(kStart, 860, count, 0, false).temperature, value) << count;

    s = liveSample(kStart, 862, 200, 500, false);
    EXPECT_FLOAT_EQ(s.humidity, 50.0f);
    EXPECT_FLOAT_EQ(s.dewPoint, 9.3f); // rounded to the readings' 0.1
    s = liveSample(kStart, 862, 680, 500, true);
    EXPECT_TRUE(s.fahrenheit);
    EXPECT_FLOAT_EQ(s.dewPoint, 48.7f);
    // Humidity outside 0 ... 100 % is no reading, and there is no dew point then.
    for (const qint16 h : {qint16(-1), qint16(1001), qint16(32767), qint16(-32768)}) {
        s = liveSample(kStart, 862, 200, h, false);
        EXPECT_EQ(s.humidity, kNullReading) << h;
        EXPECT_EQ(s.dewPoint, kNullReading) << h;
    }
    s = liveSample(kStart, 862, 200, 0, false);
    EXPECT_EQ(s.humidity, 0.0f);
    EXPECT_EQ(s.dewPoint, kNullReading);
    EXPECT_FLOAT_EQ(liveSample(kStart, 862, 200, 1000, false).humidity, 100.0f);
    // A temperature out of range keeps its mark and the humidity.
    s = liveSample(kStart, 862, 14000, 500, false);
    EXPECT_EQ(s.temperature, kHighMark);
    EXPECT_FLOAT_EQ(s.humidity, 50.0f);
    EXPECT_EQ(s.dewPoint, kNullReading);
}

TEST(LimitWatch, AnExcursionRunsFromTheFirstReadingBeyondToTheFirstBackWithin) {
    LimitWatch w;
    w.setLimits(0, {std::nullopt, 8.0f});
    EXPECT_EQ(*w.limits(0).high, 8.0f);
    EXPECT_FALSE(w.limits(1).high);
    // A reading at the limit is inside; gaps and marks neither end nor start one.
    const float values[] = {7.0f, 8.0f, 8.5f, 9.2f, 9.2f, kNullReading, kLowMark, 8.1f, 7.9f, 8.0f};
    for (int i = 0; i < 10; ++i)
        w.add(0, second(i), values[i]);
    ASSERT_EQ(w.excursions().size(), 1u);
    const Excursion& e = w.excursions()[0];
    EXPECT_EQ(e.series, 0);
    EXPECT_TRUE(e.high);
    EXPECT_EQ(e.start, second(2));
    EXPECT_EQ(e.end, second(8));
    EXPECT_EQ(e.extreme, 9.2f);
    EXPECT_EQ(e.extremeAt, second(3)); // its first time
    EXPECT_FALSE(w.outside());
    EXPECT_EQ(w.outsideSince(), 0.0);
    EXPECT_NEAR(w.secondsOutside(), 6.0, 1e-3);

    // An open one counts up to the latest reading, a gap's time not included.
    w.add(0, second(12), 8.4f);
    w.add(0, second(15), 8.3f);
    w.add(0, second(20), kHighMark);
    EXPECT_TRUE(w.outside());
    EXPECT_EQ(w.outsideSince(), second(12));
    EXPECT_EQ(w.excursions().back().end, 0.0);
    EXPECT_NEAR(w.secondsOutside(), 9.0, 1e-3);

    // reset() forgets the excursions, not the limits; a replay gives the same.
    w.reset();
    EXPECT_TRUE(w.excursions().empty());
    EXPECT_FALSE(w.outside());
    EXPECT_EQ(w.secondsOutside(), 0.0);
    for (int i = 0; i < 10; ++i)
        w.add(0, second(i), values[i]);
    ASSERT_EQ(w.excursions().size(), 1u);
    EXPECT_EQ(w.excursions()[0].end, second(8));
}

TEST(LimitWatch, SeriesOverlapAndCountOnceAndAJumpAcrossBothLimitsIsTwoExcursions) {
    LimitWatch w;
    w.setLimits(0, {std::nullopt, 25.0f}); // temperature high
    w.setLimits(1, {30.0f, std::nullopt}); // humidity low
    w.setLimits(2, {0.0f, 10.0f});         // dew point both
    w.setLimits(3, {0.0f, 1.0f});          // no such series: ignored
    w.add(3, second(0), 5.0f);
    w.add(0, second(0), 26.0f);
    w.add(1, second(0), 35.0f);
    w.add(1, second(2), 29.0f);
    w.add(0, second(4), 24.0f);
    EXPECT_TRUE(w.outside());
    EXPECT_EQ(w.outsideSince(), second(2));
    w.add(1, second(6), 25.0f);
    w.add(1, second(7), 31.0f);
    ASSERT_EQ(w.excursions().size(), 2u);
    EXPECT_FALSE(w.excursions()[1].high);
    EXPECT_EQ(w.excursions()[1].extreme, 25.0f);
    EXPECT_EQ(w.excursions()[1].extremeAt, second(6));
    // 0 ... 7 s outside: the overlap from 2 to 4 s counts once.
    EXPECT_NEAR(w.secondsOutside(), 7.0, 1e-3);

    // Straight from above the high limit to below the low one.
    w.add(2, second(10), 11.0f);
    w.add(2, second(11), -1.0f);
    w.add(2, second(13), 5.0f);
    ASSERT_EQ(w.excursions().size(), 4u);
    EXPECT_TRUE(w.excursions()[2].high);
    EXPECT_EQ(w.excursions()[2].end, second(11));
    EXPECT_FALSE(w.excursions()[3].high);
    EXPECT_EQ(w.excursions()[3].start, second(11));
    EXPECT_EQ(w.excursions()[3].end, second(13));
    EXPECT_NEAR(w.secondsOutside(), 10.0, 1e-3);
}
