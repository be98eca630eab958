#include "LcdGlyphs.h"
#include "LcdMarks.h"
#include "LcdTestSupport.h"
#include "SevenSegment.h"

#include <gtest/gtest.h>

using namespace tq;
using namespace tq::test;

namespace {

// True when every ink pixel of a is ink in b as well.
bool inkWithin(const QImage& a, const QImage& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (isInk(a, x, y) && !isInk(b, x, y)) return false;
    return true;
}

} // namespace

TEST(LcdGlyphs, SegmentsSpellTheDigitsDashAndL) {
    using namespace tq::lcd;
    // a top, b top right, c bottom right, d bottom, e bottom left, f top left, g middle
    const quint8 expected[kGlyphCount] = {SegA | SegB | SegC | SegD | SegE | SegF,
                                          SegB | SegC,
                                          SegA | SegB | SegG | SegE | SegD,
                                          SegA | SegB | SegG | SegC | SegD,
                                          SegF | SegG | SegB | SegC,
                                          SegA | SegF | SegG | SegC | SegD,
                                          SegA | SegF | SegE | SegD | SegC | SegG,
                                          SegA | SegB | SegC,
                                          0x7F,
                                          SegA | SegB | SegC | SegD | SegF | SegG,
                                          SegG,
                                          0,
                                          0,
                                          SegF | SegE | SegD,
                                          0,
                                          0};
    for (int code = 0; code < kGlyphCount; ++code)
        EXPECT_EQ(glyphSegments(code), expected[code]) << code;
    EXPECT_EQ(glyphSegments(-1), 0);
    EXPECT_EQ(glyphSegments(16), 0);
}

TEST(LcdGlyphs, PicturesMatchTheirSegments) {
    QImage pictures[lcd::kGlyphCount];
    for (int code = 0; code < lcd::kGlyphCount; ++code) {
        pictures[code] = lcd::glyph(code, 1.0);
        ASSERT_EQ(pictures[code].size(), QSize(34, 62)) << code;
        // The cell shows 33 of the 34 columns: nothing may be lost there.
        for (int y = 0; y < 62; ++y)
            ASSERT_EQ(qAlpha(pictures[code].pixel(33, y)), 0) << code;
    }
    // Blank glyphs carry no ink, only the faint unlit segments.
    for (int code : {11, 12, 14, 15}) {
        EXPECT_EQ(pictures[code], pictures[11]);
        EXPECT_EQ(inkCount(pictures[code]), 0);
    }
    EXPECT_GT(qAlpha(pictures[11].pixel(15, 31)), 0) << "ghost of the middle segment";
    // Every glyph is part of the 8, and no two shown glyphs look alike.
    const int shown[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13};
    for (int a : shown) {
        EXPECT_GT(inkCount(pictures[a]), 0) << a;
        EXPECT_TRUE(inkWithin(pictures[a], pictures[8])) << a;
        for (int b : shown) {
            if (a < b) {
                EXPECT_NE(pictures[a], pictures[b]) << a << " vs " << b;
            }
        }
    }
    // Segment subsets show as pixel subsets.
    EXPECT_TRUE(inkWithin(pictures[1], pictures[7]));
    EXPECT_TRUE(inkWithin(pictures[7], pictures[3]));
    EXPECT_TRUE(inkWithin(pictures[3], pictures[9]));
    EXPECT_TRUE(inkWithin(pictures[10], pictures[4]));
    EXPECT_TRUE(inkWithin(pictures[13], pictures[6]));
    EXPECT_FALSE(inkWithin(pictures[2], pictures[5]));
}

TEST(LcdGlyphs, DrawnAtFullResolutionForHighDensityScreens) {
    const QImage normal = lcd::glyph(8, 1.0);
    const QImage dense = lcd::glyph(8, 2.0);
    EXPECT_EQ(dense.size(), QSize(68, 124));
    EXPECT_EQ(dense.devicePixelRatio(), 2.0);
    EXPECT_EQ(dense.deviceIndependentSize(), QSizeF(34, 62));
    const double ratio = double(inkCount(dense)) / inkCount(normal);
    EXPECT_GT(ratio, 3.5);
    EXPECT_LT(ratio, 4.5);
    // The shared table hands out the same picture every time.
    EXPECT_EQ(lcd::glyph(8, 2.0).cacheKey(), dense.cacheKey());
    EXPECT_EQ(lcd::glyph(99, 1.0), lcd::glyph(11, 1.0));
}

TEST(LcdMarks, EveryMarkFillsItsImageAtEveryDensity) {
    TfrmLCD window;
    for (const QString& name : kTaggedNames + QStringList{"imgRS232"}) {
        const lcd::LcdImage* img = image(window, name);
        const QImage picture = img->image();
        ASSERT_FALSE(picture.isNull()) << name.toStdString();
        EXPECT_EQ(picture.deviceIndependentSize(), QSizeF(img->size())) << name.toStdString();
        EXPECT_GT(inkCount(picture), 4) << name.toStdString();
    }
    const lcd::Mark marks[] = {lcd::Mark::MemoryStep,  lcd::Mark::MemLabel,   lcd::Mark::Minus,
                               lcd::Mark::Interval,    lcd::Mark::Rec,        lcd::Mark::DecimalPoint,
                               lcd::Mark::Celsius,     lcd::Mark::Fahrenheit, lcd::Mark::BatteryOutline,
                               lcd::Mark::BatteryStep, lcd::Mark::Rs232};
    for (lcd::Mark mark : marks) {
        const QImage normal = lcd::drawMark(mark, QSize(20, 18), 1.0, Qt::black);
        const QImage dense = lcd::drawMark(mark, QSize(20, 18), 2.0, Qt::black);
        EXPECT_EQ(dense.size(), QSize(40, 36));
        const double ratio = double(inkCount(dense)) / std::max(1, inkCount(normal));
        EXPECT_GT(ratio, 2.5) << int(mark);
        EXPECT_LT(ratio, 5.5) << int(mark);
    }
    // The unit marks must not look alike.
    EXPECT_NE(lcd::drawMark(lcd::Mark::Celsius, QSize(17, 16), 1.0, Qt::black),
              lcd::drawMark(lcd::Mark::Fahrenheit, QSize(17, 16), 1.0, Qt::black));
}
