#include "RunStatistics.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tq;

namespace {
// A run of the given values, one every interval seconds from a fixed start.
struct Samples {
    std::vector<double> times;
    std::vector<float> values;
    int interval = 60;

    explicit Samples(std::vector<float> v, int intervalSeconds = 60)
        : values(std::move(v)), interval(intervalSeconds) {
        TDateTime start = 0;
        encodeDateTime(2024, 6, 3, 8, 0, 0, start);
        for (size_t i = 0; i < values.size(); ++i)
            times.push_back(start + double(i) * interval / kSecondsPerDay);
    }
    RunFigures figures(RunLimits limits = {}, TemperatureUnit unit = TemperatureUnit::Celsius) const {
        return runFigures(times, values, interval, unit, limits);
    }
};

RunLimits highOnly(double h) {
    RunLimits l;
    l.high = h;
    return l;
}
RunLimits lowOnly(double lo) {
    RunLimits l;
    l.low = lo;
    return l;
}
} // namespace

TEST(MeanKineticTemperature, ConstantRunsEqualTheirValueInEitherUnit) {
    for (const float v : {-40.0f, 0.0f, 25.0f, 121.5f}) {
        const std::vector<float> run(50, v);
        for (const TemperatureUnit unit : {TemperatureUnit::Celsius, TemperatureUnit::Fahrenheit}) {
            const MeanKinetic m = meanKineticTemperature(run, unit);
            ASSERT_TRUE(m.value);
            EXPECT_NEAR(*m.value, v, 1e-9) << v;
            EXPECT_EQ(m.used, 50);
            EXPECT_EQ(m.leftOut, 0);
        }
    }
    // Any activation energy leaves a constant run alone.
    EXPECT_NEAR(*meanKineticTemperature(std::vector<float>(4, 5.0f), TemperatureUnit::Celsius, 60.0).value,
                5.0, 1e-9);
}

TEST(MeanKineticTemperature, TwoLevelRunsAgainstTheFormula) {
    // E/R = 83144 / 8.314462618 = 9999.92 K. Half the time at 20 C and
    // half at 30 C: -ln((e^(-E/R/293.15) + e^(-E/R/303.15)) / 2) = 33.3989,
    // 9999.92 / 33.3989 = 299.41 K = 26.26 C: above the plain average of 25,
    // since warm hours weigh more.
    const std::vector<float> halfAndHalf{20.0f, 30.0f, 20.0f, 30.0f};
    EXPECT_NEAR(*meanKineticTemperature(halfAndHalf, TemperatureUnit::Celsius).value, 26.2599, 5e-4);
    // Three quarters at 20 C, a quarter at 30 C.
    EXPECT_NEAR(*meanKineticTemperature(std::vector<float>{20, 20, 20, 30}, TemperatureUnit::Celsius).value,
                23.6444, 5e-4);
    // The same run recorded in Fahrenheit (68 F and 86 F) comes out as the
    // same temperature, reported in Fahrenheit.
    const std::vector<float> fahrenheit{68.0f, 86.0f, 68.0f, 86.0f};
    EXPECT_NEAR(*meanKineticTemperature(fahrenheit, TemperatureUnit::Fahrenheit).value, 26.2599 * 9 / 5 + 32,
                1e-3);
    // A lower activation energy weighs the warm half less.
    const double low = *meanKineticTemperature(halfAndHalf, TemperatureUnit::Celsius, 40.0).value;
    EXPECT_GT(low, 25.0);
    EXPECT_LT(low, 26.2599);
}

TEST(MeanKineticTemperature, MarksAndImpossibleValuesAreLeftOutAndCounted) {
    const std::vector<float> run{25.0f, 9999.0f, -9999.0f, 25.0f, 3000.1f, -300.0f};
    const MeanKinetic m = meanKineticTemperature(run, TemperatureUnit::Celsius);
    ASSERT_TRUE(m.value);
    EXPECT_NEAR(*m.value, 25.0, 1e-9);
    EXPECT_EQ(m.used, 2);
    // -300 C is below absolute zero: no temperature at all.
    EXPECT_EQ(m.leftOut, 4);
    // Nothing usable: no value rather than a number made up.
    const MeanKinetic none =
        meanKineticTemperature(std::vector<float>{9999.0f, -9999.0f}, TemperatureUnit::Celsius);
    EXPECT_FALSE(none.value);
    EXPECT_EQ(none.leftOut, 2);
    EXPECT_FALSE(meanKineticTemperature({}, TemperatureUnit::Celsius).value);
    // A cold run far from room temperature still gives its value (no
    // underflow of the exponentials).
    EXPECT_NEAR(
        *meanKineticTemperature(std::vector<float>(3, -190.0f), TemperatureUnit::Celsius, 500.0).value,
        -190.0, 1e-6);
}

TEST(RunFigures, ExtremesAtTheirFirstTimeAverageAndMarks) {
    const Samples r({4.0f, 9999.0f, 6.5f, 2.0f, 6.5f, -9999.0f, 2.0f});
    const RunFigures f = r.figures();
    EXPECT_EQ(f.samples, 7);
    EXPECT_EQ(f.readings, 5);
    EXPECT_EQ(f.outOfRange, 2);
    ASSERT_TRUE(f.firstOutOfRange);
    EXPECT_DOUBLE_EQ(*f.firstOutOfRange, r.times[1]);
    EXPECT_FLOAT_EQ(f.max, 6.5f);
    EXPECT_DOUBLE_EQ(f.maxTime, r.times[2]);
    EXPECT_FLOAT_EQ(f.min, 2.0f);
    EXPECT_DOUBLE_EQ(f.minTime, r.times[3]);
    EXPECT_DOUBLE_EQ(f.average, (4.0 + 6.5 + 2.0 + 6.5 + 2.0) / 5);
    EXPECT_EQ(f.mkt.used, 5);
    EXPECT_EQ(f.mkt.leftOut, 2);
    // Without limits nothing is beyond.
    EXPECT_TRUE(f.withinLimits());
    EXPECT_EQ(f.above.samplesBeyond, 0);

    const RunFigures onlyMarks = Samples({9999.0f, -9999.0f}).figures(highOnly(8.0));
    EXPECT_EQ(onlyMarks.readings, 0);
    EXPECT_EQ(onlyMarks.outOfRange, 2);
    EXPECT_FALSE(onlyMarks.mkt.value);
    EXPECT_TRUE(onlyMarks.withinLimits());
    const RunFigures empty = Samples({}).figures(highOnly(8.0));
    EXPECT_EQ(empty.samples, 0);
    EXPECT_FALSE(empty.firstOutOfRange);
}

TEST(RunFigures, ExcursionsSplitByOneInsideReadingAndTimeBeyond) {
    // High limit 8: two runs beyond (9, 10 | 9), split by the 5 between.
    const Samples r({5.0f, 9.0f, 10.0f, 5.0f, 9.0f, 5.0f}, 120);
    const RunFigures f = r.figures(highOnly(8.0));
    EXPECT_EQ(f.above.count, 2);
    EXPECT_EQ(f.above.samplesBeyond, 3);
    EXPECT_DOUBLE_EQ(f.above.secondsBeyond, 3 * 120.0);
    ASSERT_TRUE(f.above.firstStart);
    EXPECT_DOUBLE_EQ(*f.above.firstStart, r.times[1]);
    EXPECT_DOUBLE_EQ(f.above.firstSeconds, 2 * 120.0);
    EXPECT_FALSE(f.withinLimits());
    EXPECT_EQ(f.below.count, 0);
    EXPECT_FALSE(f.below.firstStart);

    // A mark between two readings beyond does not end the excursion, and
    // adds no time.
    const RunFigures marked = Samples({9.0f, 9999.0f, 9.0f, 5.0f}).figures(highOnly(8.0));
    EXPECT_EQ(marked.above.count, 1);
    EXPECT_EQ(marked.above.samplesBeyond, 2);
    EXPECT_DOUBLE_EQ(marked.above.secondsBeyond, 120.0);

    // Both limits at once, each counted on its own; a run that ends beyond.
    RunLimits both;
    both.low = 2.0;
    both.high = 8.0;
    const Samples mixed({1.0f, 1.5f, 3.0f, 9.0f, 1.0f, 3.0f, 8.5f});
    const RunFigures m = mixed.figures(both);
    EXPECT_EQ(m.below.count, 2);
    EXPECT_EQ(m.below.samplesBeyond, 3);
    EXPECT_DOUBLE_EQ(*m.below.firstStart, mixed.times[0]);
    EXPECT_DOUBLE_EQ(m.below.firstSeconds, 120.0);
    EXPECT_EQ(m.above.count, 2);
    EXPECT_DOUBLE_EQ(*m.above.firstStart, mixed.times[3]);
    EXPECT_DOUBLE_EQ(m.above.secondsBeyond, 120.0);
}

TEST(RunFigures, ALimitEqualToAReadingIsInside) {
    // Readings are tenths held as floats; a limit typed with one decimal
    // must equal the reading that shows the same text.
    const Samples r({8.0f, 8.1f, 7.9f, -18.3f});
    EXPECT_TRUE(r.figures(highOnly(8.1)).withinLimits());
    EXPECT_EQ(r.figures(highOnly(8.0)).above.count, 1);
    EXPECT_TRUE(r.figures(lowOnly(-18.3)).withinLimits());
    const RunFigures low = r.figures(lowOnly(-18.2));
    EXPECT_EQ(low.below.count, 1);
    EXPECT_DOUBLE_EQ(*low.below.firstStart, r.times[3]);
    // 3000.0 is still a reading; 3000.1 is a mark.
    const RunFigures edge = Samples({3000.0f, 3000.1f}).figures();
    EXPECT_EQ(edge.readings, 1);
    EXPECT_FLOAT_EQ(edge.max, 3000.0f);
}
