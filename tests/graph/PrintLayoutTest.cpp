#include "PrintLayout.h"

#include <gtest/gtest.h>

using namespace tq;

TEST(PrintLayout, LinesPerPageRoundedToTens) {
    // A page holding 57 lines of height h takes 50.
    TextPageLayout l = textPageLayout(57 * 30 + 29, 20); // h = 30
    EXPECT_EQ(l.lineHeight, 30);
    EXPECT_EQ(l.linesPerPage, 50);
    // h is the text height x 1.5, truncated.
    EXPECT_EQ(textPageLayout(1000, 13).lineHeight, 19);
    EXPECT_EQ(textPageLayout(620, 20).linesPerPage, 20);
}

TEST(PrintLayout, TheLastLineOfAPageEndsOnThePage) {
    // 600 units hold 20 line heights of 30, but the 20th line would start at
    // the bottom edge: only 19 lines fit below the top margin line.
    EXPECT_EQ(textPageLayout(600, 20).linesPerPage, 10);
    EXPECT_EQ(textPageLayout(30 * 30 + 10, 20).linesPerPage, 20);
    for (int textHeight : {7, 20, 33, 80}) {
        for (int page = 0; page < 4000; page += 7) {
            const TextPageLayout l = textPageLayout(page, textHeight);
            const int lastTop = yOfRow(l.linesPerPage - 1, l);
            if (page >= l.lineHeight + textHeight) {
                EXPECT_LE(lastTop + textHeight, page) << page << " " << textHeight;
            }
            // Still as many lines as fit, rounded to tens where ten fit.
            const int fit = (page - textHeight) / l.lineHeight;
            if (fit >= 10) {
                EXPECT_EQ(l.linesPerPage, fit / 10 * 10) << page << " " << textHeight;
            }
        }
    }
}

TEST(PrintLayout, TwentyFiveRowsOnTwoPages) {
    const TextPageLayout l = textPageLayout(20 * 30 + 20, 20);
    ASSERT_EQ(l.linesPerPage, 20);
    EXPECT_EQ(pageCount(25, l), 2);
    for (int r = 0; r < 20; ++r)
        EXPECT_EQ(pageOfRow(r, l), 0) << r;
    for (int r = 20; r < 25; ++r)
        EXPECT_EQ(pageOfRow(r, l), 1) << r;
    // Each page starts one line height below the top.
    EXPECT_EQ(yOfRow(0, l), 30);
    EXPECT_EQ(yOfRow(19, l), 600);
    EXPECT_EQ(yOfRow(20, l), 30);
    EXPECT_EQ(yOfRow(24, l), 150);
    EXPECT_EQ(pageCount(20, l), 1);
    EXPECT_EQ(pageCount(21, l), 2);
}

TEST(PrintLayout, ShortPagesNeverDivideByZero) {
    // 7 lines fit: fewer than ten, so the lines that fit below the top
    // margin line are used.
    TextPageLayout l = textPageLayout(7 * 30, 20);
    EXPECT_EQ(l.linesPerPage, 6);
    EXPECT_LE(yOfRow(5, l) + l.lineHeight, 7 * 30);
    // Not even two lines: one line per page.
    l = textPageLayout(40, 20);
    EXPECT_EQ(l.linesPerPage, 1);
    EXPECT_EQ(pageCount(3, l), 3);
    EXPECT_EQ(yOfRow(2, l), 30);
    // Degenerate sizes.
    l = textPageLayout(0, 0);
    EXPECT_EQ(l.lineHeight, 1);
    EXPECT_EQ(l.linesPerPage, 1);
    EXPECT_EQ(textPageLayout(-100, 12).linesPerPage, 1);
}

TEST(PrintLayout, LineTextSkipsTheNumberAndPadsEveryCell) {
    EXPECT_EQ(dataListLine({QStringLiteral("1"), QStringLiteral("3/29/24"), QStringLiteral("7:13:15 AM"),
                            QStringLiteral("23.5")}),
              QStringLiteral("3/29/24      7:13:15 AM      23.5      "));
    // Empty cells still add their six spaces.
    EXPECT_EQ(dataListLine({QStringLiteral("2"), QString(), QStringLiteral("x")}),
              QStringLiteral("      x      "));
    EXPECT_EQ(dataListLine({QStringLiteral("only")}), QString());
    EXPECT_EQ(dataListLine({}), QString());
}
