#include "GraphStatistics.h"
#include "CursorRange.h"
#include "DragThrottle.h"
#include "Regional.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace tq;

namespace {
struct Series {
    std::vector<double> x;
    std::vector<float> y;

    // n points from 2024-03-29 07:13:15, step seconds apart, all of value v.
    static Series even(int n, int stepSeconds, float v = 20.0f) {
        Series s;
        TDateTime start = 0;
        encodeDateTime(2024, 3, 29, 7, 13, 15, start);
        for (int i = 0; i < n; ++i) {
            s.x.push_back(start + double(i) * stepSeconds / kSecondsPerDay);
            s.y.push_back(v);
        }
        return s;
    }
    int n() const { return int(x.size()); }
    auto xs() const {
        return [this](int i) { return x.at(size_t(i)); };
    }
    auto ys() const {
        return [this](int i) { return y.at(size_t(i)); };
    }
    OverallTexts texts() const { return overallTexts(overallStatistics(n(), xs(), ys())); }
};
} // namespace

TEST(OverallStatistics, OutOfRangeLimitsAndAverage) {
    Series s = Series::even(5, 60);
    s.y = {21.0f, 3000.0f, 19.0f, 23.0f, 19.0f};
    OverallTexts t = s.texts();
    // Exactly 3000.0 is still a number, but not in the average (strict range).
    EXPECT_EQ(t.max, QStringLiteral("3000.0@") + dateTimeText(s.x[1]));
    // Minimum tie: the earliest point wins.
    EXPECT_EQ(t.min, QStringLiteral("19.0@") + dateTimeText(s.x[2]));
    EXPECT_EQ(t.avg, QStringLiteral("20.500"));

    s.y[1] = 3000.1f;
    EXPECT_EQ(s.texts().max, QStringLiteral("OL"));
    s.y[1] = -3000.1f;
    t = s.texts();
    EXPECT_EQ(t.min, QStringLiteral("OL"));
    EXPECT_EQ(t.max, QStringLiteral("23.0@") + dateTimeText(s.x[3]));

    // Decoder marks take part in max/min but never in the average.
    s.y = {9999.0f, 20.0f, -9999.0f, 22.0f, 9999.0f};
    t = s.texts();
    EXPECT_EQ(t.max, QStringLiteral("OL"));
    EXPECT_EQ(t.min, QStringLiteral("OL"));
    EXPECT_EQ(t.avg, QStringLiteral("21.000"));

    s.y = {9999.0f, 9999.0f, -9999.0f, 9999.0f, 9999.0f};
    EXPECT_EQ(s.texts().avg, QStringLiteral("****"));
}

TEST(OverallStatistics, AverageStaysExactOverManySamples) {
    // A float running sum drifts visibly in the third decimal here.
    Series s = Series::even(200000, 2, 23.3f);
    EXPECT_EQ(s.texts().avg, QStringLiteral("23.300"));
}

TEST(OverallStatistics, RateStartAndCount) {
    Series s = Series::even(500, 2);
    OverallTexts t = s.texts();
    EXPECT_EQ(t.samplingRate, QStringLiteral("00:02")); // 998 s / 500 points, rounded
    EXPECT_EQ(t.dataNo, QStringLiteral("500"));
    EXPECT_EQ(t.startTime, QStringLiteral("3/29/24 7:13:15 AM"));

    EXPECT_EQ(Series::even(3, 60).texts().samplingRate, QStringLiteral("00:40"));

    // Rates of an hour and more keep the last two digits of the minutes.
    auto rateOf = [](qint64 seconds) {
        OverallStatistics st;
        st.points = 10;
        st.first = 45000.0;
        st.last = 45000.0 + double(seconds) * 10 / kSecondsPerDay;
        return minutesSecondsText(samplingRateSeconds(st));
    };
    EXPECT_EQ(rateOf(3600), QStringLiteral("60:00"));
    EXPECT_EQ(rateOf(8400), QStringLiteral("40:00"));
    EXPECT_EQ(rateOf(90), QStringLiteral("01:30"));

    // A span running backwards or absurd X values give no overflow.
    OverallStatistics odd;
    odd.points = 2;
    odd.first = 1e300;
    odd.last = -1e300;
    EXPECT_EQ(samplingRateSeconds(odd), 0);
    odd.first = -1e300;
    odd.last = 1e300;
    EXPECT_GT(samplingRateSeconds(odd), 0);
}

TEST(OverallStatistics, NoPointsReadNothing) {
    const OverallStatistics s = overallStatistics(
        0,
        [](int) -> double {
            ADD_FAILURE();
            return 0;
        },
        [](int) -> float {
            ADD_FAILURE();
            return 0;
        });
    const OverallTexts t = overallTexts(s);
    EXPECT_EQ(t.dataNo, QStringLiteral("0"));
    EXPECT_EQ(t.samplingRate, QStringLiteral("00:00"));
    EXPECT_EQ(t.avg, QStringLiteral("****"));
    EXPECT_TRUE(t.startTime.isEmpty());
    EXPECT_EQ(t.max, QStringLiteral("***.* "));
}

TEST(CursorStatistics, RangeInEitherOrderAndMarksLeftOutOfTheAverage) {
    Series s = Series::even(10, 60);
    s.y = {5, 7, 9, 9, 1, 1, 9999, 3, 4, 2};
    CursorStatistics c = cursorStatistics(s.n(), 2, 5, s.xs(), s.ys());
    EXPECT_FLOAT_EQ(c.max, 9.0f);
    EXPECT_DOUBLE_EQ(c.maxTime, s.x[2]); // earliest of the tie
    EXPECT_FLOAT_EQ(c.min, 1.0f);
    EXPECT_DOUBLE_EQ(c.minTime, s.x[4]);
    EXPECT_DOUBLE_EQ(c.average, 5.0);
    EXPECT_FLOAT_EQ(c.valueA, 9.0f);
    EXPECT_FLOAT_EQ(c.valueB, 1.0f);
    EXPECT_DOUBLE_EQ(c.timeB, s.x[5]);

    // B left of A: the same range, the boxes still name A and B.
    CursorStatistics r = cursorStatistics(s.n(), 5, 2, s.xs(), s.ys());
    EXPECT_FLOAT_EQ(r.max, 9.0f);
    EXPECT_DOUBLE_EQ(r.average, 5.0);
    EXPECT_FLOAT_EQ(r.valueA, 1.0f);
    EXPECT_FLOAT_EQ(r.valueB, 9.0f);

    // A mark between the cursors is the maximum (it reads "OL") but stays
    // out of the average.
    CursorStatistics n = cursorStatistics(s.n(), 5, 7, s.xs(), s.ys());
    EXPECT_FLOAT_EQ(n.max, 9999.0f);
    EXPECT_EQ(rangedValueText(n.max), QStringLiteral("OL"));
    EXPECT_EQ(n.readings, 2);
    EXPECT_DOUBLE_EQ(n.average, (1 + 3) / 2.0);
    // Only marks: no average at all.
    CursorStatistics marks = cursorStatistics(s.n(), 6, 6, s.xs(), s.ys());
    EXPECT_EQ(marks.readings, 0);

    // Both cursors on one point: that point is max, min and average.
    CursorStatistics one = cursorStatistics(s.n(), 8, 8, s.xs(), s.ys());
    EXPECT_FLOAT_EQ(one.max, 4.0f);
    EXPECT_FLOAT_EQ(one.min, 4.0f);
    EXPECT_DOUBLE_EQ(one.maxTime, s.x[8]);
    EXPECT_DOUBLE_EQ(one.minTime, s.x[8]);
    EXPECT_DOUBLE_EQ(one.average, 4.0);

    // The average takes what the overall average takes: values strictly
    // between -3000 and 3000 (3000.0 itself is shown as a number, not averaged).
    s.y = {3000.0f, 2999.9f, -3000.1f, -2999.9f, 0, 0, 0, 0, 0, 0};
    CursorStatistics edge = cursorStatistics(s.n(), 0, 3, s.xs(), s.ys());
    EXPECT_EQ(edge.readings, 2);
    EXPECT_NEAR(edge.average, 0.0, 1e-4);
    EXPECT_EQ(rangedValueText(edge.min), QStringLiteral("OL"));
    EXPECT_EQ(rangedValueText(edge.valueA), QStringLiteral("3000.0"));
}

TEST(CursorStatistics, IndicesBeyondTheSeriesAreClamped) {
    Series s = Series::even(4, 60);
    s.y = {1, 2, 3, 4};
    // The accessors throw (at()) on any read past the end.
    CursorStatistics c = cursorStatistics(s.n(), 166, 333, s.xs(), s.ys());
    EXPECT_EQ(c.a, 3);
    EXPECT_EQ(c.b, 3);
    EXPECT_FLOAT_EQ(c.valueA, 4.0f);
    c = cursorStatistics(s.n(), -5, 2, s.xs(), s.ys());
    EXPECT_EQ(c.a, 0);
    EXPECT_DOUBLE_EQ(c.average, 2.0);
    EXPECT_EQ(clampIndex(7, 0), 0);
}

TEST(NearestIndex, SearchRules) {
    const std::vector<double> x{10, 20, 30, 40};
    auto at = [&x](int i) { return x.at(size_t(i)); };
    EXPECT_EQ(nearestIndex(4, 24.9, at), 1);
    EXPECT_EQ(nearestIndex(4, 25.0, at), 2); // half-way takes the later point
    EXPECT_EQ(nearestIndex(4, 25.1, at), 2);
    EXPECT_EQ(nearestIndex(4, 30.0, at), 2); // exact hit
    EXPECT_EQ(nearestIndex(4, 10.0, at), 0);
    EXPECT_EQ(nearestIndex(4, 5.0, at), 0);  // left of the first point
    EXPECT_EQ(nearestIndex(4, 44.0, at), 3); // right of the last point: never past it
    EXPECT_EQ(nearestIndex(4, 1e9, at), 3);
    EXPECT_EQ(nearestIndex(1, 99.0, at), 0);
    EXPECT_EQ(nearestIndex(0, 99.0, at), 0);

    // Odd counts and long series.
    std::vector<double> many(100001);
    for (size_t i = 0; i < many.size(); ++i)
        many[i] = double(i) * 2.0;
    auto m = [&many](int i) { return many.at(size_t(i)); };
    EXPECT_EQ(nearestIndex(int(many.size()), 12345.0, m), 6173); // 12345 is half-way: later
    EXPECT_EQ(nearestIndex(int(many.size()), 12344.9, m), 6172);
    EXPECT_EQ(nearestIndex(int(many.size()), 200001.0, m), 100000);
}

TEST(CursorPlacement, OneAndTwoThirds) {
    EXPECT_EQ(cursorAIndex(500), 166);
    EXPECT_EQ(cursorBIndex(500), 333);
    EXPECT_EQ(cursorAIndex(2), 0);
    EXPECT_EQ(cursorBIndex(2), 1);
    EXPECT_EQ(cursorBIndex(0), 0);
}

TEST(DragThrottle, MovesAtMostEveryFifthOfASecond) {
    DragThrottle t;
    t.start(1000);
    EXPECT_FALSE(t.take(1000));
    EXPECT_FALSE(t.take(1150));
    EXPECT_FALSE(t.take(1200)); // exactly 0.2 s is not yet more
    EXPECT_TRUE(t.take(1201));
    // The interval restarts at each move.
    EXPECT_FALSE(t.take(1300));
    EXPECT_FALSE(t.take(1401));
    EXPECT_TRUE(t.take(1402));
    t.start(5000);
    EXPECT_FALSE(t.take(5100));
    EXPECT_TRUE(t.take(5300));
}

TEST(CursorRange, EqualsTheWalkBetweenTheCursorsOnRandomRanges) {
    std::mt19937 random(1919);
    for (const int n : {1, 63, 64, 65, 1000, 200000}) {
        Series s = Series::even(n, 2);
        std::uniform_int_distribution<int> value(-40, 40);
        for (int i = 0; i < n; ++i) {
            // Few distinct values, so ties are many; marks and the null value.
            s.y[size_t(i)] = float(value(random)) / 4.0f;
            if (random() % 50 == 0) s.y[size_t(i)] = random() % 2 ? 9999.0f : -9999.0f;
            if (random() % 500 == 0) s.y[size_t(i)] = std::nanf("");
        }
        CursorRange range;
        range.build(s.x.data(), s.y.data(), n, 1);
        ASSERT_TRUE(range.built(s.x.data(), s.y.data(), n, 1));
        EXPECT_FALSE(range.built(s.x.data(), s.y.data(), n, 2)) << "a new revision of the data";
        for (int k = 0; k < 200; ++k) {
            const int a = int(random() % (n + 10)) - 5;
            const int b = k % 10 == 0 ? a : int(random() % (n + 10)) - 5;
            const CursorStatistics walk = cursorStatistics(n, a, b, s.xs(), s.ys());
            const CursorStatistics fast = range.between(a, b);
            ASSERT_EQ(fast.a, walk.a);
            EXPECT_EQ(fast.b, walk.b);
            EXPECT_EQ(fast.max, walk.max);
            EXPECT_EQ(fast.maxTime, walk.maxTime) << "the earliest of equal highs";
            EXPECT_EQ(fast.min, walk.min);
            EXPECT_EQ(fast.minTime, walk.minTime) << "the earliest of equal lows";
            EXPECT_EQ(fast.readings, walk.readings);
            EXPECT_NEAR(fast.average, walk.average, 1e-9 * (1.0 + std::fabs(walk.average)));
            EXPECT_EQ(std::isnan(fast.valueA), std::isnan(walk.valueA));
            if (!std::isnan(walk.valueA)) EXPECT_EQ(fast.valueA, walk.valueA);
            EXPECT_EQ(fast.timeB, walk.timeB);
        }
    }
}
