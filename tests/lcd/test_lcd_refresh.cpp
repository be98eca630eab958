#include "LcdGlyphs.h"
#include "LcdTestSupport.h"

#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>

using namespace tq;
using namespace tq::test;

namespace {

// Counts show and hide events on the images, seen from outside the window.
class VisibilityCounter : public QObject {
  public:
    explicit VisibilityCounter(const TfrmLCD& window) {
        for (const QString& name : kTaggedNames)
            image(window, name)->installEventFilter(this);
    }
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) ++count;
        return false;
    }
};

class LcdRefresh : public ::testing::Test {
  protected:
    void SetUp() override {
        window.show();
        window.buildLists(QString());
    }
    QImage cellPicture(int j) const { return image(window, kCellNames[j])->image(); }
    QImage glyphPicture(int code) const { return lcd::glyph(code, window.devicePixelRatioF()); }

    TfrmLCD window;
};

} // namespace

TEST_F(LcdRefresh, BuildListsBlanksEveryCell) {
    for (int j = 0; j < 4; ++j) {
        ASSERT_FALSE(cellPicture(j).isNull());
        EXPECT_EQ(cellPicture(j), glyphPicture(11)) << j;
    }
}

TEST_F(LcdRefresh, WorkedStateShowsTwentyThreePointFourCelsius) {
    VisibilityCounter counter(window);
    window.refresh(workedState());
    const QStringList expected{"imgMCell0",   "imgMCell1", "imgMEM",    "imgMPoint4", "imgC",
                               "imgBATEmpty", "imgBCell2", "imgBCell1", "imgBCell0"};
    EXPECT_EQ(shownIndicators(window), expected);
    EXPECT_EQ(counter.count, 9);
    // Blank, 2, 3, 4: the first cell already was blank, so three pictures changed.
    EXPECT_EQ(cellPicture(0), glyphPicture(11));
    EXPECT_EQ(cellPicture(1), glyphPicture(2));
    EXPECT_EQ(cellPicture(2), glyphPicture(3));
    EXPECT_EQ(cellPicture(3), glyphPicture(4));
    EXPECT_NE(cellPicture(1), cellPicture(2));
    EXPECT_EQ(window.lastRefreshChanges(), 9 + 3);
}

TEST_F(LcdRefresh, RepeatedStateTouchesNothing) {
    window.refresh(workedState());
    VisibilityCounter counter(window);
    window.refresh(workedState());
    EXPECT_EQ(window.lastRefreshChanges(), 0);
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(shownIndicators(window).size(), 9);
    EXPECT_EQ(cellPicture(3), glyphPicture(4));
}

TEST_F(LcdRefresh, EachMaskBitSwitchesExactlyItsOwnImage) {
    const LcdState base = workedState();
    window.refresh(base);
    for (int bit = 0; bit < 21; ++bit) {
        LcdState toggled = base;
        toggled.segmentMask ^= SegmentMask(1) << bit;
        const QString name = kTaggedNames[bit];
        const bool wasShown = !image(window, name)->isHidden();

        VisibilityCounter counter(window);
        window.refresh(toggled);
        EXPECT_EQ(window.lastRefreshChanges(), 1) << "bit " << bit;
        EXPECT_EQ(counter.count, 1) << "bit " << bit;
        EXPECT_EQ(image(window, name)->isHidden(), wasShown) << name.toStdString();

        window.refresh(base);
        EXPECT_EQ(image(window, name)->isHidden(), !wasShown) << name.toStdString();
    }
    // Bits above the last slot belong to no image.
    LcdState high = base;
    high.segmentMask |= 0xFFE00000u;
    window.refresh(high);
    EXPECT_EQ(window.lastRefreshChanges(), 0);
    EXPECT_EQ(shownIndicators(window).size(), 9);
}

TEST_F(LcdRefresh, OnlyCodesThreeToSixReachTheCells) {
    LcdState state = workedState();
    window.refresh(state);

    // Codes 0 to 2 are not shown.
    state.digitCodes[0] = 5;
    state.digitCodes[1] = 13;
    state.digitCodes[2] = 7;
    window.refresh(state);
    EXPECT_EQ(window.lastRefreshChanges(), 0);

    state.digitCodes[5] = 10; // the third cell shows a dash
    window.refresh(state);
    EXPECT_EQ(window.lastRefreshChanges(), 1);
    EXPECT_EQ(cellPicture(2), glyphPicture(10));
    EXPECT_EQ(cellPicture(1), glyphPicture(2));
    EXPECT_EQ(cellPicture(3), glyphPicture(4));

    // -32768 formats as L, 3, 2, 7, 6, 8; the cells show codes 3 to 6.
    state.digitCodes = {11, 13, 3, 2, 7, 6, 8};
    window.refresh(state);
    EXPECT_EQ(cellPicture(0), glyphPicture(2));
    EXPECT_EQ(cellPicture(1), glyphPicture(7));
    EXPECT_EQ(cellPicture(2), glyphPicture(6));
    EXPECT_EQ(cellPicture(3), glyphPicture(8));
}

TEST_F(LcdRefresh, CodeOutsideTheGlyphTableShowsBlank) {
    LcdState state = workedState();
    window.refresh(state);
    state.digitCodes[6] = 200;
    window.refresh(state);
    EXPECT_EQ(cellPicture(3), glyphPicture(11));
    // Back to a real code: the cell follows again.
    state.digitCodes[6] = 9;
    window.refresh(state);
    EXPECT_EQ(cellPicture(3), glyphPicture(9));
}

TEST_F(LcdRefresh, RebuildingTheListsBlanksCellsAndLaterCodesStillShow) {
    window.refresh(workedState());
    window.buildLists(QString());
    EXPECT_EQ(cellPicture(1), glyphPicture(11));
    // The same frame again must bring the digits back, not be taken for "no change".
    window.refresh(workedState());
    EXPECT_EQ(cellPicture(1), glyphPicture(2));
    EXPECT_EQ(cellPicture(3), glyphPicture(4));
}
