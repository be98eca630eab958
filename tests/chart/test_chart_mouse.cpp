#include "ChartFixtures.h"

#include <qcustomplot.h>

#include <QSignalSpy>
#include <gtest/gtest.h>

using tq::Chart;
using namespace tq::testing;

namespace {

// A shown chart of n points, cursor lines at 1/3 and 2/3 as the graph
// windows place them.
void prepare(Chart& c, int n) {
    fillDay(c, n);
    c.setShowVertLineAnnotations(true);
    for (int i : {1, 2}) {
        c.setVertLine(i, c.x(0, i * n / 3));
        c.setVertLineType(i, Chart::LineCursor);
        c.setVertLineText(i, i == 1 ? QStringLiteral("A") : QStringLiteral("B"));
    }
    showChart(c);
}

QWidget* surface(Chart& c) {
    return c.plot();
}

} // namespace

TEST(ChartMouse, PressOnAVerticalLineIsItsHotSpotAndStartsNoZoom) {
    Chart c;
    c.setZooming(Chart::Zooming::HorzPlusVert);
    c.setAllowVertLineAnnotHotSpots(true);
    prepare(c, 300);
    QSignalSpy hot(&c, &Chart::vertLineAnnotHotSpot);
    QSignalSpy zoom(&c, &Chart::zoomIn);
    QSignalSpy clicked(&c, &Chart::clicked);
    QSignalSpy moved(&c, &Chart::mouseMoved);
    QSignalSpy released(&c, &Chart::mouseReleased);

    const QRect r = c.plotRect();
    const QPoint onB(c.valueToPixel(c.vertLine(2), 0).x() + 3, r.center().y());
    QTest::mousePress(surface(c), Qt::LeftButton, {}, onB);
    ASSERT_EQ(hot.count(), 1);
    EXPECT_EQ(hot.at(0).at(0).toBool(), false);
    EXPECT_EQ(hot.at(0).at(1).toInt(), 2);
    // Dragging the line moves the pointer, not a zoom frame.
    QTest::mouseMove(surface(c), onB + QPoint(-60, 20));
    QTest::mouseMove(surface(c), onB + QPoint(-120, 40));
    QTest::mouseRelease(surface(c), Qt::LeftButton, {}, onB + QPoint(-120, 40));
    EXPECT_GE(moved.count(), 2);
    EXPECT_EQ(c.lastMousePos(), onB + QPoint(-120, 40));
    EXPECT_EQ(released.count(), 1);
    EXPECT_EQ(clicked.count(), 0) << "a drag is no click";
    EXPECT_EQ(zoom.count(), 0);
    EXPECT_FALSE(c.isZoomed());

    // Double click on line A; a press well away from both lines is nothing.
    hot.clear();
    const QPoint onA(c.valueToPixel(c.vertLine(1), 0).x() - 2, r.top() + 30);
    doubleClick(surface(c), onA);
    ASSERT_FALSE(hot.isEmpty());
    EXPECT_EQ(hot.last().at(0).toBool(), true);
    EXPECT_EQ(hot.last().at(1).toInt(), 1);
    hot.clear();
    QTest::mouseClick(surface(c), Qt::LeftButton, {}, onA + QPoint(40, 0));
    EXPECT_EQ(hot.count(), 0);

    // Not allowed: no hot spot.
    c.setAllowVertLineAnnotHotSpots(false);
    QTest::mouseClick(surface(c), Qt::LeftButton, {}, onA);
    EXPECT_EQ(hot.count(), 0);
}

TEST(ChartMouse, PressNearADataPointReportsThatPoint) {
    Chart c;
    c.setAllowDataHotSpots(true);
    prepare(c, 200);
    QSignalSpy hot(&c, &Chart::dataHotSpot);
    const int target = 57;
    const QPoint p = c.valueToPixel(c.x(0, target), c.y(0, target));
    QTest::mouseClick(surface(c), Qt::LeftButton, {}, p + QPoint(1, 2));
    ASSERT_EQ(hot.count(), 1);
    EXPECT_EQ(hot.at(0).at(0).toBool(), false);
    EXPECT_EQ(hot.at(0).at(1).toInt(), 0);
    EXPECT_EQ(hot.at(0).at(2).toInt(), target);

    hot.clear();
    QTest::mouseClick(surface(c), Qt::LeftButton, {}, p + QPoint(0, 25));
    EXPECT_EQ(hot.count(), 0) << "25 pixels above or below the line is no hot spot";

    // A null point is never a hot spot; its neighbour within reach is.
    c.setY(0, target, Chart::kNullY);
    c.redraw();
    QTest::mouseClick(surface(c), Qt::LeftButton, {}, p);
    for (const auto& args : hot)
        EXPECT_NE(args.at(2).toInt(), target);

    // A million points: the nearest one is still found.
    hot.clear();
    fillDay(c, 1000000);
    c.redraw();
    const int far = 654321;
    const QPoint q = c.valueToPixel(c.x(0, far), c.y(0, far));
    doubleClick(surface(c), q);
    ASSERT_FALSE(hot.isEmpty());
    EXPECT_TRUE(hot.last().at(0).toBool());
    const int found = hot.last().at(2).toInt();
    const QPoint fp = c.valueToPixel(c.x(0, found), c.y(0, found));
    EXPECT_LE((fp - q).manhattanLength(), 7);
}

TEST(ChartMouse, GraphAnnotationsAreHotOnlyWhenAllowedAndPresent) {
    Chart c;
    prepare(c, 300);
    c.setGraphAnnotation(4, c.x(0, 100), c.y(0, 100), Chart::AnnotCross, QString(), Qt::black);
    c.setGraphAnnotation(5, c.x(0, 200), c.y(0, 200), Chart::AnnotText, QString(), Qt::black); // deleted
    c.setGraphAnnotation(6, c.x(0, 250), 1000.0, Chart::AnnotCross, QString(), Qt::black);     // off the plot
    c.redraw();
    QSignalSpy hot(&c, &Chart::graphAnnotHotSpot);
    QSignalSpy hovered(&c, &Chart::graphHotSpot);
    const QPoint cross = c.valueToPixel(c.x(0, 100), c.y(0, 100));
    doubleClick(surface(c), cross);
    EXPECT_EQ(hot.count(), 0) << "not allowed yet";

    c.setAllowGraphAnnotHotSpots(true);
    tq::testing::hover(surface(c), cross + QPoint(4, -3));
    EXPECT_EQ(c.lastMousePos(), cross + QPoint(4, -3));
    EXPECT_EQ(hovered.count(), 1);
    tq::testing::hover(surface(c), cross + QPoint(3, -3));
    EXPECT_EQ(hovered.count(), 1) << "reported once on entering";
    doubleClick(surface(c), cross + QPoint(5, 0));
    ASSERT_FALSE(hot.isEmpty());
    EXPECT_TRUE(hot.last().at(0).toBool());
    EXPECT_EQ(hot.last().at(1).toInt(), 4);

    hot.clear();
    doubleClick(surface(c), c.valueToPixel(c.x(0, 200), c.y(0, 200)));
    EXPECT_EQ(hot.count(), 0) << "a deleted annotation has no hot spot";
    doubleClick(surface(c), c.valueToPixel(c.x(0, 250), 1000.0));
    EXPECT_EQ(hot.count(), 0) << "nor has one outside the plot";
}

TEST(ChartMouse, ZoomFrameAndUndo) {
    Chart c;
    c.setZooming(Chart::Zooming::HorzPlusVert);
    prepare(c, 1000);
    QCPAxis* x = c.plot()->axisRect(0)->axis(QCPAxis::atBottom);
    QCPAxis* y = c.plot()->axisRect(0)->axis(QCPAxis::atLeft);
    const QCPRange x0 = x->range(), y0 = y->range();
    QSignalSpy zoom(&c, &Chart::zoomIn);
    QSignalSpy clicked(&c, &Chart::clicked);

    const QRect r = c.plotRect();
    const QPoint from = r.topLeft() + QPoint(100, 40);
    const QPoint to = from + QPoint(200, 120);
    const QPointF v1 = c.pixelToValue(from), v2 = c.pixelToValue(to);
    QTest::mousePress(surface(c), Qt::LeftButton, {}, from);
    QTest::mouseMove(surface(c), from + QPoint(50, 30));
    QTest::mouseMove(surface(c), to);
    QTest::mouseRelease(surface(c), Qt::LeftButton, {}, to);
    ASSERT_EQ(zoom.count(), 1);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_TRUE(c.isZoomed());
    const double day = 86400.0;
    EXPECT_NEAR(x->range().lower / day, (v1.x() - 25569.0), 2.0 / r.width());
    EXPECT_NEAR(x->range().upper / day, (v2.x() - 25569.0), 2.0 / r.width());
    EXPECT_NEAR(y->range().upper, v1.y(), (y0.size()) * 2.0 / r.height());
    EXPECT_NEAR(y->range().lower, v2.y(), (y0.size()) * 2.0 / r.height());

    // A second frame zooms further; undo goes back to before the first.
    QTest::mousePress(surface(c), Qt::LeftButton, {}, from);
    QTest::mouseMove(surface(c), from + QPoint(100, 100));
    QTest::mouseRelease(surface(c), Qt::LeftButton, {}, from + QPoint(100, 100));
    EXPECT_EQ(zoom.count(), 2);
    c.undoZoom();
    EXPECT_FALSE(c.isZoomed());
    EXPECT_EQ(x->range(), x0);
    EXPECT_EQ(y->range(), y0);

    // A click is a click, and a 3-pixel frame is no zoom.
    QTest::mouseClick(surface(c), Qt::LeftButton, {}, from);
    EXPECT_EQ(clicked.count(), 1);
    QTest::mousePress(surface(c), Qt::LeftButton, {}, from);
    QTest::mouseMove(surface(c), from + QPoint(30, 3));
    QTest::mouseRelease(surface(c), Qt::LeftButton, {}, from + QPoint(30, 3));
    EXPECT_EQ(zoom.count(), 2);

    // With zooming off a drag changes nothing.
    c.setZooming(Chart::Zooming::None);
    QTest::mousePress(surface(c), Qt::LeftButton, {}, from);
    QTest::mouseMove(surface(c), to);
    QTest::mouseRelease(surface(c), Qt::LeftButton, {}, to);
    EXPECT_EQ(zoom.count(), 2);
    EXPECT_EQ(x->range(), x0);
}

TEST(ChartMouse, HorizontalZoomKeepsTheValueRangeAndManualXSurvivesUndo) {
    Chart c;
    c.setZooming(Chart::Zooming::Horizontal);
    prepare(c, 1000);
    c.setManualX(c.x(0, 0), c.x(0, 999) + 0.01);
    c.redraw();
    QCPAxis* x = c.plot()->axisRect(0)->axis(QCPAxis::atBottom);
    QCPAxis* y = c.plot()->axisRect(0)->axis(QCPAxis::atLeft);
    const QCPRange x0 = x->range(), y0 = y->range();
    const QRect r = c.plotRect();
    QTest::mousePress(surface(c), Qt::LeftButton, {}, r.center());
    QTest::mouseMove(surface(c), r.center() + QPoint(80, 80));
    QTest::mouseRelease(surface(c), Qt::LeftButton, {}, r.center() + QPoint(80, 80));
    EXPECT_TRUE(c.isZoomed());
    EXPECT_LT(x->range().size(), x0.size() / 3);
    EXPECT_EQ(y->range(), y0);
    // The manual range the graph windows set is a setting, not the zoom.
    EXPECT_EQ(c.manualMinX(), c.x(0, 0));
    c.undoZoom();
    EXPECT_EQ(x->range(), x0);
}
