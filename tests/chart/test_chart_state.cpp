#include "ChartFixtures.h"

#include <qcustomplot.h>

#include <QRandomGenerator>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using tq::Chart;

namespace {

// Two series on two stacked axes with every setting away from its default.
void customise(Chart& c) {
    c.setSubsets(2);
    c.setPoints(50);
    for (int s = 0; s < 2; ++s) {
        for (int i = 0; i < 50; ++i) {
            c.setX(s, i, tq::testing::dayStart() + i / 1440.0 + s * 1e-7);
            c.setY(s, i, s * 100.0f + i * 0.25f - 3.0f);
        }
    }
    c.setY(0, 7, Chart::kNullY);
    c.setY(1, 0, -9999.0f);
    c.setNullValueY(9999.0f);
    c.setSubsetLabel(0, QStringLiteral("Humidity"));
    c.setSubsetLabel(1, QStringLiteral("Temperature °C"));
    c.setSubsetColor(0, QColor(10, 20, 30, 200));
    c.setSubsetColor(1, QColor(255, 255, 0));
    c.setSubsetLineType(0, 3);
    c.setSubsetLineType(1, 42);
    c.setPlottingMethod(Chart::PlottingMethod::Bar);
    c.setGridStyle(Chart::GridStyle::Dash);
    c.setMainTitle(QStringLiteral("Main"));
    c.setSubTitle(QStringLiteral(" "));
    c.setXAxisLabel(QStringLiteral("Time"));
    c.setMultiAxesSubsets({1, 1});
    c.setMultiAxesProportions({0.25, 0.75});
    c.setMultiAxesSeparators(true);
    c.setWorkingAxis(0);
    c.setYAxisLabel(QStringLiteral("RH %"));
    c.setManualY(-30.0, 100.0);
    c.setWorkingAxis(1);
    c.setYAxisLabel(QStringLiteral("T"));
    c.setManualY(-5.5, 40.25);
    c.setManualX(tq::testing::dayStart(), tq::testing::dayStart() + 0.05);
    c.setShowVertLineAnnotations(false);
    c.setLineAnnotationTextSize(80);
    for (int i : {0, 1, 2, 17}) {
        c.setVertLine(i, tq::testing::dayStart() + i * 0.001);
        c.setVertLineType(i, i == 0 ? 0 : 5);
        c.setVertLineColor(i, QColor(i * 10, 0, 255 - i * 10));
        c.setVertLineText(i, QStringLiteral("L%1").arg(i));
    }
    c.setShowGraphAnnotations(true);
    c.setGraphAnnotationTextSize(120);
    c.setGraphAnnotation(4, tq::testing::dayStart() + 0.01, 21.5, Chart::AnnotCross, QString(), Qt::black);
    c.setGraphAnnotation(5, tq::testing::dayStart() + 0.02, 22.5, Chart::AnnotText, QStringLiteral("door"),
                         QColor(1, 2, 3));
    c.setGraphAnnotation(9, 1.0, 2.0, Chart::AnnotText, QString(), Qt::black); // deleted
    c.setAllowDataHotSpots(true);
    c.setAllowVertLineAnnotHotSpots(false);
    c.setAllowGraphAnnotHotSpots(true);
    c.setZooming(Chart::Zooming::Horizontal);
    c.setPrintStyle(Chart::PrintStyle::Mono);
    c.setArrowCursor(Chart::ArrowText);
}

} // namespace

TEST(ChartState, RoundTripBringsBackEveryItem) {
    Chart source;
    customise(source);
    const QByteArray block = source.storeState();

    Chart target;
    target.setSubsets(3);
    target.setPoints(5);
    target.setVertLine(3, 42.0);
    target.setGraphAnnotation(6, 1, 1, Chart::AnnotCross, QString(), Qt::red);
    QString error;
    ASSERT_TRUE(target.loadState(block, &error)) << error.toStdString();

    EXPECT_EQ(target.subsets(), 2);
    EXPECT_EQ(target.points(), 50);
    for (int s = 0; s < 2; ++s) {
        for (int i = 0; i < 50; ++i) {
            EXPECT_EQ(target.x(s, i), source.x(s, i));
            EXPECT_EQ(target.y(s, i), source.y(s, i));
        }
    }
    EXPECT_EQ(target.y(0, 7), 9999.0f);
    EXPECT_EQ(target.nullValueY(), 9999.0f);
    EXPECT_EQ(target.subsetLabel(1), QStringLiteral("Temperature °C"));
    EXPECT_EQ(target.subsetColor(0), QColor(10, 20, 30, 200));
    EXPECT_EQ(target.subsetLineType(0), 3);
    EXPECT_EQ(target.subsetLineType(1), 42);
    EXPECT_EQ(target.plottingMethod(), Chart::PlottingMethod::Bar);
    EXPECT_EQ(target.gridStyle(), Chart::GridStyle::Dash);
    EXPECT_EQ(target.mainTitle(), QStringLiteral("Main"));
    EXPECT_EQ(target.subTitle(), QStringLiteral(" "));
    EXPECT_EQ(target.xAxisLabel(), QStringLiteral("Time"));
    EXPECT_EQ(target.workingAxis(), 1);
    EXPECT_EQ(target.yAxisLabel(), QStringLiteral("T"));
    EXPECT_TRUE(target.manualY());
    EXPECT_EQ(target.manualMinY(), -5.5);
    EXPECT_EQ(target.manualMaxY(), 40.25);
    target.setWorkingAxis(0);
    EXPECT_EQ(target.yAxisLabel(), QStringLiteral("RH %"));
    EXPECT_EQ(target.manualMinY(), -30.0);
    EXPECT_EQ(target.manualMaxY(), 100.0);
    EXPECT_TRUE(target.manualX());
    EXPECT_EQ(target.manualMinX(), source.manualMinX());
    EXPECT_EQ(target.manualMaxX(), source.manualMaxX());
    EXPECT_EQ(target.multiAxesSubsets(), (QVector<int>{1, 1}));
    EXPECT_EQ(target.axisCount(), 2);
    EXPECT_EQ(target.multiAxesProportion(0), 0.25);
    EXPECT_EQ(target.multiAxesProportion(1), 0.75);
    EXPECT_TRUE(target.multiAxesSeparators());
    EXPECT_FALSE(target.showVertLineAnnotations());
    EXPECT_EQ(target.lineAnnotationTextSize(), 80);
    for (int i : {0, 1, 2, 17}) {
        EXPECT_EQ(target.vertLine(i), source.vertLine(i));
        EXPECT_EQ(target.vertLineType(i), i == 0 ? 0 : 5);
        EXPECT_EQ(target.vertLineColor(i), QColor(i * 10, 0, 255 - i * 10));
        EXPECT_EQ(target.vertLineText(i), QStringLiteral("L%1").arg(i));
    }
    EXPECT_EQ(target.vertLine(3), 0.0) << "the loaded state replaces every line";
    EXPECT_EQ(target.graphAnnotationCount(), 10);
    EXPECT_EQ(target.graphAnnotationType(4), Chart::AnnotCross);
    EXPECT_EQ(target.graphAnnotationY(4), 21.5);
    EXPECT_EQ(target.graphAnnotationX(5), source.graphAnnotationX(5));
    EXPECT_EQ(target.graphAnnotationText(5), QStringLiteral("door"));
    EXPECT_EQ(target.graphAnnotationColor(5), QColor(1, 2, 3));
    EXPECT_EQ(target.graphAnnotationType(6), Chart::AnnotText) << "annotation 6 from before the load is gone";
    EXPECT_EQ(target.graphAnnotationText(9), QString());
    EXPECT_EQ(target.graphAnnotationTextSize(), 120);
    EXPECT_TRUE(target.showGraphAnnotations());
    EXPECT_TRUE(target.allowDataHotSpots());
    EXPECT_FALSE(target.allowVertLineAnnotHotSpots());
    EXPECT_TRUE(target.allowGraphAnnotHotSpots());
    EXPECT_EQ(target.zooming(), Chart::Zooming::Horizontal);
    EXPECT_EQ(target.printStyle(), Chart::PrintStyle::Mono);
    EXPECT_EQ(target.arrowCursor(), Chart::ArrowText);
    // Nothing is lost that the getters above do not show.
    target.setWorkingAxis(1);
    EXPECT_EQ(target.storeState(), block);
}

TEST(ChartState, NullValueKeepsItsMeaningAfterLoading) {
    Chart source;
    source.setPoints(4);
    for (int i = 0; i < 4; ++i) {
        source.setX(0, i, tq::testing::dayStart() + i / 1440.0);
        source.setY(0, i, i == 2 ? 9999.0f : 20.0f + i);
    }
    Chart target;
    target.setNullValueY(-1.0f);
    ASSERT_TRUE(target.loadState(source.storeState()));
    EXPECT_EQ(target.nullValueY(), 9999.0f);
    target.redraw();
    auto* graph = qobject_cast<QCPGraph*>(target.plot()->plottable(0));
    ASSERT_NE(graph, nullptr);
    ASSERT_EQ(graph->data()->size(), 4);
    EXPECT_TRUE(std::isnan((graph->data()->constBegin() + 2)->value));
    EXPECT_EQ((graph->data()->constBegin() + 3)->value, 23.0);
}

TEST(ChartState, HostileBlocksAreRefusedAndChangeNothing) {
    Chart source;
    customise(source);
    const QByteArray good = source.storeState();

    Chart chart;
    tq::testing::fillDay(chart, 100);
    chart.setMainTitle(QStringLiteral("before"));
    const QByteArray before = chart.storeState();

    auto expectRefused = [&](const QByteArray& block, const char* what, const QString& reason = {}) {
        QString error;
        EXPECT_FALSE(chart.loadState(block, &error)) << what;
        EXPECT_FALSE(error.isEmpty()) << what;
        if (!reason.isEmpty()) {
            EXPECT_TRUE(error.contains(reason)) << what << ": " << error.toStdString();
        }
        EXPECT_EQ(chart.storeState(), before) << what;
    };

    expectRefused(QByteArray(), "empty", QStringLiteral("too short"));
    expectRefused(good.left(11), "header cut", QStringLiteral("too short"));
    QByteArray wrongMagic = good;
    wrongMagic[0] = 'X';
    expectRefused(wrongMagic, "magic", QStringLiteral("not a chart state"));
    QByteArray wrongVersion = good;
    wrongVersion[4] = 9;
    expectRefused(wrongVersion, "version", QStringLiteral("version 9"));
    expectRefused(good + QByteArray(1, '\0'), "trailing byte", QStringLiteral("length"));
    for (int cut = 12; cut < good.size(); cut += 7) {
        // Keep the length field honest so the body parser meets the cut.
        QByteArray truncated = good.left(cut);
        qToLittleEndian<quint32>(quint32(cut - 12), truncated.data() + 8);
        expectRefused(truncated, "truncated body");
    }
    // Huge counts and a NaN where the point count belongs: refused before
    // anything is allocated.
    const int pointCountAt = 12 + 4 + 4;
    for (quint32 count : {0x7fffffffu, 0xffffffffu, 0x7fc00000u, 1000000u}) {
        QByteArray huge = good;
        qToLittleEndian<quint32>(count, huge.data() + pointCountAt);
        expectRefused(huge, "huge point count", QStringLiteral("point count"));
    }
    QByteArray nanSeries = good;
    const float nan = std::nanf("");
    std::memcpy(nanSeries.data() + 16, &nan, 4);
    expectRefused(nanSeries, "NaN as series count", QStringLiteral("series count"));

    // Fuzz: random bodies behind a sound header, and bit flips in a sound block.
    QRandomGenerator rng(880);
    for (int round = 0; round < 3000; ++round) {
        QByteArray block;
        if (round % 2 == 0) {
            const int bodySize = rng.bounded(0, 400);
            block = good.left(12);
            qToLittleEndian<quint32>(quint32(bodySize), block.data() + 8);
            for (int i = 0; i < bodySize; ++i)
                block.append(char(rng.bounded(256)));
        } else {
            block = good;
            const int flips = 1 + rng.bounded(4);
            for (int f = 0; f < flips; ++f) {
                const int byte = 12 + rng.bounded(good.size() - 12);
                block[byte] = char(block[byte] ^ (1 << rng.bounded(8)));
            }
        }
        QString error;
        if (chart.loadState(block, &error)) {
            // A flip inside a value gives another sound state: it must draw
            // whatever values it brought (NaN, huge, ...) and load back.
            chart.redraw();
            (void)chart.renderImage(QSize(120, 80));
            const QByteArray stored = chart.storeState();
            EXPECT_TRUE(chart.loadState(stored));
            ASSERT_TRUE(chart.loadState(before));
        } else {
            ASSERT_FALSE(error.isEmpty());
            ASSERT_EQ(chart.storeState(), before) << "round " << round;
        }
    }
}
