#include "Spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Spline, PassesThroughTheSamplesWithoutOvershoot) {
    const QVector<double> k{0, 1, 2, 3, 4, 5};
    const QVector<double> v{0, 0, 10, 10, 5, 5};
    QVector<double> ok, ov;
    tq::splineCurve(k, v, 4, &ok, &ov);
    ASSERT_EQ(ok.size(), 5 * 4 + 1);
    for (int i = 0; i < k.size(); ++i) {
        EXPECT_DOUBLE_EQ(ok[i * 4], k[i]);
        EXPECT_DOUBLE_EQ(ov[i * 4], v[i]);
    }
    for (int i = 1; i < ok.size(); ++i)
        EXPECT_GT(ok[i], ok[i - 1]);
    // Each piece stays between its two samples (flat stays flat).
    for (int seg = 0; seg < 5; ++seg) {
        const double lo = std::min(v[seg], v[seg + 1]), hi = std::max(v[seg], v[seg + 1]);
        for (int j = 0; j <= 4; ++j) {
            EXPECT_GE(ov[seg * 4 + j], lo - 1e-12);
            EXPECT_LE(ov[seg * 4 + j], hi + 1e-12);
        }
    }
}

TEST(Spline, GapsSplitTheCurveAndShortRunsStayAsTheyAre) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QVector<double> k{0, 1, 2, 3, 4, 5, 6};
    const QVector<double> v{1, 2, 3, nan, 7, 8, nan};
    QVector<double> ok, ov;
    tq::splineCurve(k, v, 3, &ok, &ov);
    // Run {0,1,2}: 2 intervals x 3 + 1; the gap; run {4,5} as it is; the gap.
    ASSERT_EQ(ok.size(), 7 + 1 + 2 + 1);
    EXPECT_TRUE(std::isnan(ov[7]));
    EXPECT_DOUBLE_EQ(ok[7], 3.0);
    EXPECT_DOUBLE_EQ(ov[8], 7.0);
    EXPECT_DOUBLE_EQ(ov[9], 8.0);
    EXPECT_TRUE(std::isnan(ov[10]));

    tq::splineCurve({}, {}, 5, &ok, &ov);
    EXPECT_TRUE(ok.isEmpty());
}
