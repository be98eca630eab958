// How the chart draws long recordings: dense lines as segments with the
// look of the polyline, out-of-range marks as gaps, and repaints that
// leave the data layer alone when only the vertical lines changed.

#include "ChartFixtures.h"
#include "LineGraph.h"

#include <qcustomplot.h>

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <cmath>

using tq::Chart;
using namespace tq::testing;

namespace {

struct Drawn {
    QImage image;
    int gapLeft = 0; // pixel columns inside the gap
    int gapRight = 0;
    bool operator==(const Drawn& other) const { return image == other.image; }
};

enum class Shape { Folding, Smooth };

// One graph on a plain plot, axes fixed, drawn to an image. A folding line
// swings between about 10 and 30 at every point (in every pixel column
// when dense), a smooth one is a slow wave; points gapFrom ... gapTo are
// NaN.
Drawn drawGraph(bool segmented, int points, const QPen& pen, Shape shape = Shape::Folding, int gapFrom = -1,
                int gapTo = -1) {
    QCustomPlot plot;
    plot.resize(400, 300);
    QCPGraph* g =
        segmented ? new tq::LineGraph(plot.xAxis, plot.yAxis) : new QCPGraph(plot.xAxis, plot.yAxis);
    QVector<double> keys, values;
    for (int i = 0; i < points; ++i) {
        keys << i;
        const bool gap = i >= gapFrom && i <= gapTo;
        const double value = shape == Shape::Folding ? (i % 2 ? 30.0 : 10.0) + 3.0 * std::sin(i / 40.0)
                                                     : 20.0 + 12.0 * std::sin(i / 400.0);
        values << (gap ? std::nan("") : value);
    }
    g->setData(keys, values, true);
    g->setPen(pen);
    plot.xAxis->setRange(0, points - 1);
    plot.yAxis->setRange(0, 40);
    Drawn d;
    d.image = plot.toPixmap(400, 300).toImage().convertToFormat(QImage::Format_RGB32);
    d.gapLeft = int(std::ceil(plot.xAxis->coordToPixel(gapFrom))) + 2;
    d.gapRight = int(plot.xAxis->coordToPixel(gapTo)) - 2;
    return d;
}

struct Difference {
    int linePixels = 0; // pixels the polyline draws in the line's colour range
    int differing = 0;  // pixels whose channels differ by more than 25 %
};

Difference compare(const QImage& a, const QImage& b) {
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor pa = a.pixelColor(x, y);
            const QColor pb = b.pixelColor(x, y);
            if (pa.green() < 128 && pa.red() > 128) ++d.linePixels;
            const int delta = std::max({std::abs(pa.red() - pb.red()), std::abs(pa.green() - pb.green()),
                                        std::abs(pa.blue() - pb.blue())});
            if (delta > 64) ++d.differing;
        }
    }
    return d;
}

bool redInColumns(const QImage& image, int from, int to) {
    for (int x = from; x <= to; ++x)
        for (int y = 0; y < image.height(); ++y) {
            const QColor p = image.pixelColor(x, y);
            if (p.red() > 128 && p.green() < 128) return true;
        }
    return false;
}

int finiteValues(Chart& c) {
    auto* g = qobject_cast<QCPGraph*>(c.plot()->plottable(0));
    int n = 0;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it)
        n += std::isfinite(it->value) ? 1 : 0;
    return n;
}

} // namespace

TEST(ChartDrawing, DenseSolidLinesLookAsThePolylineDid) {
    const QPen wide(QColor(255, 0, 0), 2.0, Qt::SolidLine, Qt::FlatCap);
    // 6000 points on about 350 pixel columns, with a gap in the middle.
    const Drawn polyline = drawGraph(false, 6000, wide, Shape::Folding, 2900, 3100);
    const Drawn segments = drawGraph(true, 6000, wide, Shape::Folding, 2900, 3100);
    const Difference d = compare(polyline.image, segments.image);
    ASSERT_GT(d.linePixels, 20000);
    EXPECT_LT(d.differing, d.linePixels / 100) << "same pixels, give or take the antialiasing";
    // No segment bridges the gap: its inner columns stay free in both.
    ASSERT_GT(segments.gapRight - segments.gapLeft, 5);
    EXPECT_FALSE(redInColumns(polyline.image, polyline.gapLeft, polyline.gapRight));
    EXPECT_FALSE(redInColumns(segments.image, segments.gapLeft, segments.gapRight));
    EXPECT_TRUE(redInColumns(segments.image, segments.gapLeft - 20, segments.gapLeft - 10));

    // Dashed pens and lines that fold little (however dense) are drawn as
    // the polyline, pixel for pixel.
    const QPen dashed(QColor(255, 0, 0), 2.0, Qt::DashLine, Qt::FlatCap);
    EXPECT_EQ(drawGraph(false, 6000, dashed), drawGraph(true, 6000, dashed));
    EXPECT_EQ(drawGraph(false, 6000, wide, Shape::Smooth), drawGraph(true, 6000, wide, Shape::Smooth));
    EXPECT_EQ(drawGraph(false, 20, wide), drawGraph(true, 20, wide));

    const QVector<QLineF> cut =
        tq::LineGraph::segments({QPointF(0, 0), QPointF(1, 1), QPointF(2, std::nan("")), QPointF(3, 3),
                                 QPointF(4, 4), QPointF(5, INFINITY), QPointF(6, 6)});
    ASSERT_EQ(cut.size(), 2);
    EXPECT_EQ(cut[0], QLineF(0, 0, 1, 1));
    EXPECT_EQ(cut[1], QLineF(3, 3, 4, 4));
    EXPECT_DOUBLE_EQ(tq::LineGraph::valueTravel({QPointF(0, 0), QPointF(1, 5), QPointF(2, std::nan("")),
                                                 QPointF(3, 2), QPointF(4, -1)},
                                                Qt::Horizontal),
                     8.0);
}

TEST(ChartDrawing, OutOfRangeMarksAreGapsOutsideTheValueRange) {
    Chart c;
    fillDay(c, 1000);
    c.setY(0, 100, -9999.0f);
    c.setY(0, 500, 9999.5f);
    c.setY(0, 700, 3000.0f); // the limit itself is a reading
    c.setOutOfRangeLimitY(3000.0f);
    c.setNullValueY(-1.0f); // neither mark is the null value here
    showChart(c);           // wide enough for every point to be drawn
    EXPECT_EQ(finiteValues(c), 998);
    const QCPRange values = c.plot()->axisRect(0)->axis(QCPAxis::atLeft)->range();
    EXPECT_GT(values.lower, -1000.0);
    EXPECT_GT(values.upper, 3000.0);
    EXPECT_LT(values.upper, 3500.0);
    // The stored values stay as they are.
    EXPECT_FLOAT_EQ(c.y(0, 100), -9999.0f);
    EXPECT_FLOAT_EQ(c.y(0, 500), 9999.5f);

    // A mark is no data hot spot either.
    c.setAllowDataHotSpots(true);
    showChart(c);
    QSignalSpy hot(&c, &Chart::dataHotSpot);
    const QPoint onMark = c.valueToPixel(c.x(0, 100), 20.0);
    QTest::mousePress(c.plot(), Qt::LeftButton, {}, c.plot()->mapFrom(&c, onMark));
    QTest::mouseRelease(c.plot(), Qt::LeftButton, {}, c.plot()->mapFrom(&c, onMark));
    for (const QList<QVariant>& args : hot)
        EXPECT_NE(args.at(2).toInt(), 100);

    // Without a limit every value is drawn.
    c.setOutOfRangeLimitY(INFINITY);
    c.redraw();
    EXPECT_EQ(finiteValues(c), 1000);
}

TEST(ChartDrawing, InvalidateImageRedrawsTheDataOnlyWhenMoreThanTheLinesChanged) {
    Chart c;
    fillDay(c, 5000);
    c.setVertLine(1, c.x(0, 1000));
    c.setVertLineType(1, Chart::LineCursor);
    c.setVertLineColor(1, QColor(0, 0, 255));
    showChart(c);
    QSignalSpy replots(c.plot(), &QCustomPlot::beforeReplot);

    // A line moved, recoloured and retitled: the cursor layer alone.
    const int y = c.plotRect().center().y() + 40;
    c.setVertLine(1, c.x(0, 4000));
    c.setVertLineColor(1, QColor(190, 190, 190));
    c.setVertLineText(1, QStringLiteral("A"));
    c.invalidateImage();
    EXPECT_EQ(replots.count(), 0);
    const int lineX = c.valueToPixel(c.x(0, 4000), 0).x();
    const QImage shot = c.grab().toImage();
    EXPECT_TRUE(shot.pixelColor(lineX, y) == QColor(190, 190, 190) ||
                shot.pixelColor(lineX - 1, y) == QColor(190, 190, 190));

    // Anything else changed since the last redraw: the whole plot.
    for (auto change : std::initializer_list<std::function<void()>>{
             [&] { c.setSubsetColor(0, QColor(0, 128, 0)); }, [&] { c.setY(0, 10, 40.0f); },
             [&] { c.setManualX(c.x(0, 0), c.x(0, 2500)); },
             [&] { c.setMainTitle(QStringLiteral("Changed")); },
             [&] { c.setGraphAnnotation(4, c.x(0, 50), 20.0, Chart::AnnotCross, QString(), Qt::black); }}) {
        replots.clear();
        change();
        c.invalidateImage();
        EXPECT_EQ(replots.count(), 1);
    }
    EXPECT_EQ(c.plot()->plottable(0)->pen().color(), QColor(0, 128, 0));
    replots.clear();
    c.invalidateImage(); // nothing new
    EXPECT_EQ(replots.count(), 0);
}

TEST(ChartDrawing, StyleStateLeavesThePointsOut) {
    Chart c;
    c.setSubsets(2);
    fillDay(c, 200000);
    c.setSubsetLabel(1, QStringLiteral("Temperature"));
    c.setMainTitle(QStringLiteral("House style"));
    c.setVertLineText(2, QStringLiteral("B"));
    const QByteArray style = c.storeStyle();
    EXPECT_LT(style.size(), 2000);

    // The same as the state of that chart with no points ...
    Chart empty;
    ASSERT_TRUE(empty.loadState(c.storeState()));
    empty.setPoints(0);
    EXPECT_EQ(style, empty.storeState());
    // ... and the chart itself keeps its points.
    EXPECT_EQ(c.points(), 200000);
    EXPECT_DOUBLE_EQ(c.x(0, 199999), dayStart() + 199999 * 2.0 / 86400.0);

    Chart loaded;
    ASSERT_TRUE(loaded.loadState(style));
    EXPECT_EQ(loaded.points(), 0);
    EXPECT_EQ(loaded.subsets(), 2);
    EXPECT_EQ(loaded.subsetLabel(1), QStringLiteral("Temperature"));
    EXPECT_EQ(loaded.mainTitle(), QStringLiteral("House style"));
    EXPECT_EQ(loaded.vertLineText(2), QStringLiteral("B"));
}
