#include "ReadingMarks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tq;

TEST(ReadingMarks, TheDecoderMarksOnlyBeyondItsLimits) {
    // The limits themselves are readings; the next float beyond is marked.
    EXPECT_EQ(markedValue(-200.0f), -200.0f);
    EXPECT_EQ(markedValue(1370.0f), 1370.0f);
    EXPECT_EQ(markedValue(std::nextafter(-200.0f, -1e9f)), kLowMark);
    EXPECT_EQ(markedValue(std::nextafter(1370.0f, 1e9f)), kHighMark);
    EXPECT_EQ(markedValue(-std::numeric_limits<float>::infinity()), kLowMark);
    EXPECT_EQ(markedValue(0.0f), 0.0f);
    // A non-number is not made into a mark or a reading.
    EXPECT_TRUE(std::isnan(markedValue(std::nanf(""))));
}

TEST(ReadingMarks, WhatCountsAsAReadingAGapAndAMark) {
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    // Out of range strictly beyond +-3000.
    EXPECT_FALSE(isOutOfRange(3000.0f));
    EXPECT_FALSE(isOutOfRange(-3000.0f));
    EXPECT_TRUE(isOutOfRange(std::nextafter(3000.0f, inf)));
    EXPECT_TRUE(isOutOfRange(std::nextafter(-3000.0f, -inf)));
    EXPECT_TRUE(isReading(3000.0f));
    EXPECT_FALSE(isAveraged(3000.0f));
    EXPECT_FALSE(isAveraged(-3000.0f));
    EXPECT_TRUE(isAveraged(std::nextafter(3000.0f, 0.0f)));
    EXPECT_TRUE(isReading(-200.0f));
    EXPECT_TRUE(isReading(1370.0f));
    // Both marks and the null value are out of range, never readings.
    for (float v : {kLowMark, kHighMark, kNullReading}) {
        EXPECT_TRUE(isOutOfRange(v)) << v;
        EXPECT_FALSE(isReading(v)) << v;
    }
    EXPECT_TRUE(isMark(kLowMark));
    EXPECT_TRUE(isMark(kHighMark));
    EXPECT_FALSE(isMark(1370.0f));
    EXPECT_TRUE(isGap(kNullReading));
    EXPECT_FALSE(isGap(kLowMark));
    // A non-number or infinity is no reading; NaN is neither a mark nor a gap.
    EXPECT_FALSE(isReading(nan));
    EXPECT_FALSE(isAveraged(nan));
    EXPECT_FALSE(isReading(inf));
    EXPECT_FALSE(isMark(nan));
    EXPECT_FALSE(isGap(nan));
    EXPECT_FALSE(isOutOfRange(nan));
}
