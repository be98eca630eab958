#include "ChartFixtures.h"
#include "ChartTime.h"
#include "LineStyles.h"

#include <Regional.h>

#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <cmath>

using tq::Chart;
using namespace tq::testing;

namespace {

QCPGraph* graphOf(Chart& c, int s) {
    return qobject_cast<QCPGraph*>(c.plot()->plottable(s));
}

int finiteValues(QCPGraph* g) {
    int n = 0;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it)
        n += std::isfinite(it->value) ? 1 : 0;
    return n;
}

} // namespace

TEST(ChartView, NullValuesAreNotDrawn) {
    Chart c;
    c.setPoints(10);
    for (int i = 0; i < 10; ++i) {
        c.setX(0, i, dayStart() + i / 1440.0);
        c.setY(0, i, 20.0f + i);
    }
    c.setY(0, 3, 9999.0f);
    c.setY(0, 4, 9999.0f);
    c.setY(0, 8, std::nanf(""));
    c.redraw();
    QCPGraph* g = graphOf(c, 0);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(finiteValues(g), 7);
    // The line breaks where the null values are.
    bool gapAfterPoint2 = false;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) {
        if (std::fabs(it->key - tq::daysToAxis(dayStart() + 3 / 1440.0)) < 1e-3)
            gapAfterPoint2 = std::isnan(it->value);
        EXPECT_NE(it->value, 9999.0);
    }
    EXPECT_TRUE(gapAfterPoint2);
    // The value range ignores the null values.
    EXPECT_LT(g->valueAxis()->range().upper, 100.0);

    // Another null value: 9999 becomes an ordinary value.
    c.setNullValueY(-1.0f);
    c.redraw();
    EXPECT_EQ(finiteValues(graphOf(c, 0)), 9);
}

TEST(ChartView, TimeAxisIgnoresSeriesWithoutValues) {
    // A two-series chart where series 1 keeps X 0 and the null value.
    Chart c;
    c.setSubsets(2);
    fillDay(c, 720);
    c.redraw();
    const QCPRange r = c.plot()->axisRect(0)->axis(QCPAxis::atBottom)->range();
    EXPECT_NEAR(tq::axisToDays(r.lower), dayStart(), 1e-6);
    EXPECT_NEAR(tq::axisToDays(r.upper), dayStart() + 719 * 2.0 / 86400.0, 1e-6);
}

TEST(ChartView, DayCountsShowTheirWallClockTime) {
    const double noon = tq::toDays(QDate(2024, 7, 1), QTime(12, 0));
    const double halfPast = tq::toDays(QDate(2024, 7, 1), QTime(12, 30));
    EXPECT_DOUBLE_EQ(tq::daysToAxis(tq::kUnixEpochDays), 0.0);
    EXPECT_DOUBLE_EQ(tq::axisToDays(tq::daysToAxis(halfPast)), halfPast);
    EXPECT_EQ(QDateTime::fromSecsSinceEpoch(qint64(std::llround(tq::daysToAxis(halfPast))), Qt::UTC),
              QDateTime(QDate(2024, 7, 1), QTime(12, 30), Qt::UTC));

    Chart c;
    fillDay(c, 10);
    c.setManualX(noon, noon + 1.0 / 24.0);
    showChart(c);
    QCPAxis* x = c.plot()->axisRect(0)->axis(QCPAxis::atBottom);
    const QVector<double> ticks = x->tickVector();
    const QVector<QString> labels = x->tickVectorLabels();
    ASSERT_EQ(ticks.size(), labels.size());
    const QString expected = tq::dateText(halfPast) + QLatin1Char('\n') + tq::timeText(halfPast);
    int found = -1;
    for (int i = 0; i < ticks.size(); ++i) {
        if (std::fabs(ticks[i] - tq::daysToAxis(halfPast)) < 0.5) found = i;
    }
    ASSERT_GE(found, 0) << "a tick at 12:30";
    EXPECT_EQ(labels[found], expected);
    EXPECT_TRUE(labels[found].contains(QStringLiteral("12:30:00")));
}

TEST(ChartView, TimeLabelsNeverRunIntoEachOther) {
    // Spans where the steps come out fine (ten minutes) or coarse (two
    // days), on narrow and wide charts: every label keeps clear of the next.
    for (double span : {10.0 / 1440.0, 2.0}) {
        for (int width : {420, 700, 1400}) {
            SCOPED_TRACE(testing::Message() << "span " << span << " days, width " << width);
            Chart c;
            c.setPoints(300);
            for (int i = 0; i < 300; ++i) {
                c.setX(0, i, dayStart() + span * i / 299.0);
                c.setY(0, i, 20.0f);
            }
            showChart(c, QSize(width, 400));
            QCPAxis* x = c.plot()->axisRect(0)->axis(QCPAxis::atBottom);
            const QVector<double> ticks = x->tickVector();
            const QVector<QString> labels = x->tickVectorLabels();
            ASSERT_GE(ticks.size(), 2);
            const QFontMetrics metrics(x->tickLabelFont());
            for (int i = 1; i < ticks.size(); ++i) {
                int widest = 0;
                for (const QString& line : (labels[i - 1] + QLatin1Char('\n') + labels[i]).split('\n'))
                    widest = std::max(widest, metrics.horizontalAdvance(line));
                EXPECT_GT(x->coordToPixel(ticks[i]) - x->coordToPixel(ticks[i - 1]), widest)
                    << labels[i - 1].toStdString() << " | " << labels[i].toStdString();
            }
            // A wide chart still shows several times.
            if (width >= 700) {
                EXPECT_GE(ticks.size(), 3);
            }
        }
    }
}

TEST(ChartView, StackedAxesFollowSubsetsAndProportions) {
    Chart c;
    c.setSubsets(3);
    fillDay(c, 100);
    for (int i = 0; i < 100; ++i) {
        c.setX(1, i, c.x(0, i));
        c.setY(1, i, 50.0f);
        c.setX(2, i, c.x(0, i));
        c.setY(2, i, 70.0f);
    }
    EXPECT_EQ(c.axisCount(), 1);
    EXPECT_EQ(c.multiAxesProportion(0), 1.0);

    c.setMultiAxesSubsets({2, 1});
    c.setMultiAxesProportions({0.25, 0.75});
    c.setMultiAxesSeparators(true);
    showChart(c, QSize(800, 700));
    EXPECT_EQ(c.axisCount(), 2);
    EXPECT_EQ(c.axisOfSubset(0), 0);
    EXPECT_EQ(c.axisOfSubset(1), 0);
    EXPECT_EQ(c.axisOfSubset(2), 1);
    const QList<QCPAxisRect*> rects = c.plot()->axisRects();
    ASSERT_EQ(rects.size(), 2);
    EXPECT_EQ(graphOf(c, 1)->valueAxis()->axisRect(), rects[0]);
    EXPECT_EQ(graphOf(c, 2)->valueAxis()->axisRect(), rects[1]);
    // Heights share the room 1 : 3 (give or take the axis margins).
    const double ratio = double(rects[1]->outerRect().height()) / rects[0]->outerRect().height();
    EXPECT_NEAR(ratio, 3.0, 0.3);
    EXPECT_EQ(c.plotRect(), rects[0]->rect().united(rects[1]->rect()));
    // One time range for both.
    EXPECT_EQ(rects[0]->axis(QCPAxis::atBottom)->range(), rects[1]->axis(QCPAxis::atBottom)->range());
    // The proportions of the humidity logger: each axis reports its own.
    c.setMultiAxesSubsets({1, 1});
    c.setMultiAxesProportions({0.25, 0.25});
    EXPECT_EQ(c.multiAxesProportion(0), 0.25);
    EXPECT_EQ(c.axisOfSubset(2), 1) << "series past the list share the last axis";

    // Back on one axis.
    c.setMultiAxesSubsets({-1});
    c.setMultiAxesProportions({1.0});
    c.reinitAndReset();
    EXPECT_EQ(c.axisCount(), 1);
    EXPECT_EQ(c.plot()->axisRects().size(), 1);
    EXPECT_EQ(c.multiAxesProportion(0), 1.0);
    c.setMultiAxesSubsets({});
    EXPECT_EQ(c.axisCount(), 1);
}

TEST(ChartView, PixelsAndValuesConvertBothWays) {
    Chart c;
    c.setSubsets(2);
    fillDay(c, 1000);
    c.setMultiAxesSubsets({1, 1});
    c.setWorkingAxis(1);
    c.setManualY(-30, 100);
    showChart(c);
    const QRect plot = c.plotRect();
    ASSERT_TRUE(plot.width() > 100 && plot.height() > 100);
    for (int axis : {0, 1}) {
        const QRect r = c.plot()->axisRect(axis)->rect();
        for (const QPoint p : {r.topLeft(), r.center(), r.bottomRight() - QPoint(3, 7)}) {
            const QPointF v = c.pixelToValue(p, axis);
            EXPECT_EQ(c.valueToPixel(v.x(), v.y(), axis), p) << "axis " << axis;
        }
    }
    // A value at the low corner of axis 1's manual range lands on its rect.
    const QPoint low = c.valueToPixel(c.x(0, 0), -30.0, 1);
    EXPECT_NEAR(low.y(), c.plot()->axisRect(1)->rect().bottom(), 1);
    EXPECT_NEAR(low.x(), plot.left(), 1);
    const QPointF back = c.pixelToValue(c.valueToPixel(c.x(0, 500), 42.0, 1), 1);
    EXPECT_NEAR(back.x(), c.x(0, 500), 1.5 * (c.x(0, 999) - c.x(0, 0)) / plot.width());
    EXPECT_NEAR(back.y(), 42.0, 1.0);
}

TEST(ChartView, PlottingMethodsAndLineTypes) {
    Chart c;
    c.setPoints(20);
    for (int i = 0; i < 20; ++i) {
        c.setX(0, i, dayStart() + i / 1440.0);
        c.setY(0, i, i % 2 ? 25.0f : 20.0f);
    }
    c.setY(0, 10, 9999.0f);
    showChart(c);

    c.setPlottingMethod(Chart::PlottingMethod::Spline);
    c.redraw();
    QCPGraph* g = graphOf(c, 0);
    ASSERT_NE(g, nullptr);
    EXPECT_GT(g->data()->size(), 40) << "few points: a smooth curve";
    double top = -1e9, bottom = 1e9;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) {
        if (std::isfinite(it->value)) {
            top = std::max(top, it->value);
            bottom = std::min(bottom, it->value);
        }
    }
    EXPECT_LE(top, 25.0);
    EXPECT_GE(bottom, 20.0);

    fillDay(c, 20000);
    c.redraw();
    // Many points per pixel: drawn as a line through readings, four per
    // pixel column at most.
    g = graphOf(c, 0);
    EXPECT_LE(g->data()->size(), 4 * c.plotRect().width() + 2);
    EXPECT_GT(g->data()->size(), c.plotRect().width());
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) {
        const double reading = (tq::axisToDays(it->key) - dayStart()) * 86400.0 / 2.0;
        EXPECT_NEAR(reading, std::round(reading), 1e-3) << "a point that is no reading";
    }

    c.setPlottingMethod(Chart::PlottingMethod::Bar);
    c.setY(0, 5, 9999.0f);
    c.redraw();
    auto* bars = qobject_cast<QCPBars*>(c.plot()->plottable(0));
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->data()->size(), 19999);

    c.setPlottingMethod(Chart::PlottingMethod::Points);
    c.redraw();
    ASSERT_NE(graphOf(c, 0), nullptr);
    EXPECT_EQ(graphOf(c, 0)->lineStyle(), QCPGraph::lsNone);
    EXPECT_EQ(graphOf(c, 0)->scatterStyle().shape(), QCPScatterStyle::ssDisc);

    c.setPlottingMethod(Chart::PlottingMethod::Area);
    c.setSubsetLineType(0, 9);
    c.setSubsetColor(0, Qt::red);
    c.setGridStyle(Chart::GridStyle::None);
    c.redraw();
    EXPECT_NE(graphOf(c, 0)->brush().style(), Qt::NoBrush);
    EXPECT_EQ(graphOf(c, 0)->pen().widthF(), 2.0);
    EXPECT_EQ(graphOf(c, 0)->pen().style(), Qt::SolidLine);
    EXPECT_EQ(graphOf(c, 0)->pen().color(), QColor(Qt::red));
    EXPECT_FALSE(c.plot()->axisRect(0)->axis(QCPAxis::atLeft)->grid()->visible());

    EXPECT_EQ(tq::seriesPen(1, Qt::red).style(), Qt::DashLine);
    EXPECT_EQ(tq::seriesPen(42, Qt::red), tq::seriesPen(9, Qt::red)) << "unknown codes draw the default";
    EXPECT_EQ(tq::seriesPen(-3, Qt::red), tq::seriesPen(9, Qt::red));
}

TEST(ChartView, TitlesLabelsAndLegendReachThePlot) {
    Chart c;
    c.setSubsets(2);
    fillDay(c, 50);
    c.setMainTitle(QStringLiteral("Logger 862"));
    c.setSubTitle(QStringLiteral(" "));
    c.setXAxisLabel(QStringLiteral("Time"));
    c.setYAxisLabel(QStringLiteral("°C"));
    c.setSubsetLabel(0, QStringLiteral("Humidity"));
    c.setSubsetLabel(1, QStringLiteral("Temperature"));
    c.redraw();
    EXPECT_EQ(c.plot()->plottable(0)->name(), QStringLiteral("Humidity"));
    EXPECT_EQ(c.plot()->plottable(1)->name(), QStringLiteral("Temperature"));
    EXPECT_EQ(c.plot()->legend->itemCount(), 2);
    EXPECT_EQ(c.plot()->axisRect(0)->axis(QCPAxis::atBottom)->label(), QStringLiteral("Time"));
    EXPECT_EQ(c.plot()->axisRect(0)->axis(QCPAxis::atLeft)->label(), QStringLiteral("°C"));
    auto* title = qobject_cast<QCPTextElement*>(c.plot()->plotLayout()->element(0, 0));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("Logger 862"));
}

TEST(ChartView, InvalidateImageRepaintsAMovedLine) {
    Chart c;
    fillDay(c, 2000);
    c.setSubsetColor(0, Qt::red);
    c.setVertLine(1, c.x(0, 500));
    c.setVertLineType(1, Chart::LineCursor);
    c.setVertLineColor(1, QColor(0, 0, 255));
    showChart(c);
    const int y = c.plotRect().center().y() + 40;
    auto blueAt = [&](int x) {
        const QImage shot = c.grab().toImage();
        return shot.pixelColor(x, y) == QColor(0, 0, 255) || shot.pixelColor(x + 1, y) == QColor(0, 0, 255);
    };
    const int oldX = c.valueToPixel(c.x(0, 500), 0).x();
    const int newX = c.valueToPixel(c.x(0, 1500), 0).x();
    ASSERT_TRUE(blueAt(oldX - 1) || blueAt(oldX));
    ASSERT_FALSE(blueAt(newX - 1) || blueAt(newX));

    c.setVertLine(1, c.x(0, 1500));
    c.invalidateImage();
    EXPECT_TRUE(blueAt(newX - 1) || blueAt(newX));
    EXPECT_FALSE(blueAt(oldX - 1) || blueAt(oldX));

    // Hidden lines are not drawn.
    c.setShowVertLineAnnotations(false);
    c.invalidateImage();
    EXPECT_FALSE(blueAt(newX - 1) || blueAt(newX));
}
