#include "WorkArea.h"

#include <gtest/gtest.h>

using namespace tq;

namespace {
bool overlapping(const QList<QRect>& rects) {
    for (int i = 0; i < rects.size(); ++i)
        for (int j = i + 1; j < rects.size(); ++j)
            if (rects[i].intersects(rects[j])) return true;
    return false;
}
} // namespace

TEST(WorkArea, TileFillsTheAreaAndScrollsRatherThanSqueezing) {
    const QSize area(1600, 900);
    // Five windows that fit three abreast: two rows, the last row shared by two.
    QList<QRect> r = tileRects(area, 5, QSize(500, 390));
    ASSERT_EQ(r.size(), 5);
    EXPECT_EQ(r[0], QRect(0, 0, 533, 450));
    EXPECT_EQ(r[2].right(), 1599);
    EXPECT_EQ(r[3], QRect(0, 450, 800, 450));
    EXPECT_EQ(r[4], QRect(800, 450, 800, 450));
    EXPECT_FALSE(overlapping(r));

    // Wider windows: fewer columns, and rows below the area (it scrolls)
    // rather than windows lower than they need.
    r = tileRects(area, 5, QSize(600, 390));
    ASSERT_EQ(r.size(), 5);
    for (const QRect& w : r) {
        EXPECT_GE(w.width(), 600);
        EXPECT_EQ(w.height(), 390);
    }
    EXPECT_EQ(r[4], QRect(0, 780, 1600, 390));
    EXPECT_FALSE(overlapping(r));

    // An area narrower than one window: one column of minimum-sized windows.
    r = tileRects(QSize(300, 200), 3, QSize(360, 260));
    ASSERT_EQ(r.size(), 3);
    EXPECT_EQ(r[2], QRect(0, 520, 360, 260));
    EXPECT_TRUE(tileRects(area, 0, QSize(1, 1)).isEmpty());
    EXPECT_EQ(tileRects(area, 1, QSize(1, 1)), QList<QRect>{QRect(QPoint(0, 0), area)});
}

TEST(WorkArea, CascadeKeepsEveryWindowUsable) {
    QList<QRect> r = cascadeRects(QSize(1600, 900), 5, QSize(400, 300), 30);
    ASSERT_EQ(r.size(), 5);
    EXPECT_EQ(r[0], QRect(0, 0, 1480, 780));
    EXPECT_EQ(r[4], QRect(120, 120, 1480, 780));
    // Many windows in a short area: each keeps its minimum, the stack runs
    // past the area's bottom (which scrolls).
    r = cascadeRects(QSize(640, 360), 12, QSize(400, 300), 30);
    EXPECT_EQ(r[11], QRect(330, 330, 400, 300));
}

TEST(WorkArea, NewWindowsAreSizedFromTheirArea) {
    const QSize minimum(400, 390);
    EXPECT_EQ(newWindowRect(QSize(1600, 900), 1100, minimum, false), QRect(0, 0, 1100, 850));
    EXPECT_EQ(newWindowRect(QSize(1600, 900), 1100, minimum, true), QRect(0, 0, 1600, 850));
    // Never wider than the area; never lower than the window needs.
    EXPECT_EQ(newWindowRect(QSize(780, 380), 1100, minimum, false), QRect(0, 0, 780, 390));
    EXPECT_EQ(newWindowRect(QSize(300, 380), 1100, minimum, true), QRect(0, 0, 400, 390));
}
