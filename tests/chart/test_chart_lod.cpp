// The level-of-detail layer: what it picks equals four readings per run and
// column found the slow way, and the chart it draws looks as the chart of
// every reading does, on series made to trip it up.

#include "ChartFixtures.h"
#include "LevelOfDetail.h"
#include "LineGraph.h"

#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <random>

using tq::Chart;
using tq::GapRule;
using tq::LevelOfDetail;
using namespace tq::testing;

namespace {

constexpr float kNull = 9999.0f;

// The picked indices found by walking every reading: per column, per run
// between gaps, its first, lowest, highest and last reading in order.
std::vector<int> walked(const std::vector<double>& x, const std::vector<float>& y, double from, double to,
                        const std::function<long long(double)>& column, GapRule gap = {kNull, 3000.0f}) {
    const int n = int(x.size());
    const int lo = int(std::lower_bound(x.begin(), x.end(), from) - x.begin());
    const int hi = int(std::upper_bound(x.begin(), x.end(), to) - x.begin());
    std::vector<int> out;
    auto brk = [&] {
        if (!out.empty() && out.back() != -1) out.push_back(-1);
    };
    auto put = [&](int i) {
        if (out.empty() || out.back() != i) out.push_back(i);
    };
    auto runs = [&](int a, int b) {
        int start = -1;
        for (int i = a; i <= b; ++i) {
            const bool g = i == b || gap(y[i]);
            if (!g && start < 0) start = i;
            if (g && start >= 0) {
                int mn = start, mx = start;
                for (int k = start; k < i; ++k) {
                    if (y[k] < y[mn]) mn = k;
                    if (y[k] > y[mx]) mx = k;
                }
                for (int k : {start, std::min(mn, mx), std::max(mn, mx), i - 1})
                    put(k);
                start = -1;
            }
            if (g && i < b) brk();
        }
    };
    if (lo > 0) gap(y[lo - 1]) ? brk() : put(lo - 1);
    for (int i = lo; i < hi;) {
        int j = i;
        while (j < hi && column(x[j]) == column(x[i]))
            ++j;
        runs(i, j);
        i = j;
    }
    if (hi < n) gap(y[hi]) ? brk() : put(hi);
    return out;
}

} // namespace

TEST(LevelOfDetail, PicksWhatWalkingEveryReadingPicks) {
    std::mt19937 random(19);
    for (int round = 0; round < 12; ++round) {
        const int n = 2000 + int(random() % 60000);
        std::vector<double> x(n);
        std::vector<float> y(n);
        std::uniform_real_distribution<float> noise(-5.0f, 5.0f);
        for (int i = 0; i < n; ++i) {
            x[i] = i * (round % 3 == 0 ? 2.0 : 1.0);
            y[i] = round % 2 ? float(i % 17 < 8 ? 10 : 30) : 20.0f + noise(random);
        }
        // Equal values (ties), single gaps, long gaps and marks.
        for (int k = 0; k < 40; ++k)
            y[random() % n] = 25.0f;
        for (int k = 0; k < 30; ++k)
            y[random() % n] = k % 3 == 0 ? kNull : k % 3 == 1 ? -9999.0f : std::nanf("");
        const int gapAt = int(random() % n);
        for (int i = gapAt; i < std::min(n, gapAt + 3000); ++i)
            y[i] = kNull;
        LevelOfDetail lod;
        lod.build(x.data(), y.data(), n, GapRule{kNull, 3000.0f});
        for (const int width : {50, 333, 1000}) {
            const double from = x[random() % (n / 2)];
            const double to = from + (x.back() - from) * (0.2 + 0.8 * (random() % 100) / 100.0);
            const auto column = [&](double v) {
                return (long long)std::floor((v - from) / (to - from) * width);
            };
            std::vector<int> picked;
            lod.pick(from, to, column, 0, &picked);
            for (int& i : picked)
                i = std::max(i, -1); // where a break falls is the drawing's business
            EXPECT_EQ(picked, walked(x, y, from, to, column)) << "round " << round << " width " << width;
            if (round % 3 == 0) {
                // Times at a fixed interval, given by the interval instead of an array.
                LevelOfDetail regular;
                regular.build(tq::TimeLine::regular(0.0, 2.0 * 86400.0), y.data(), n,
                              GapRule{kNull, 3000.0f});
                std::vector<int> same;
                regular.pick(from, to, column, 0, &same);
                for (int& i : same)
                    i = std::max(i, -1);
                EXPECT_EQ(same, picked) << "round " << round << " width " << width;
            }
        }
        // Few visible readings: every one.
        std::vector<int> all;
        lod.pick(
            x[10], x[40], [](double v) { return (long long)v; }, 1000, &all);
        int drawn = 0;
        for (int i = 9; i <= 41; ++i)
            drawn += GapRule{kNull, 3000.0f}(y[i]) ? 0 : 1;
        EXPECT_EQ(int(std::count_if(all.begin(), all.end(), [](int i) { return i >= 0; })), drawn);
    }
}

TEST(LevelOfDetail, ANullValueAmidTheReadingsIsAGapAndOneOutsideThemIsNot) {
    // The chart's null value may be any value: between the readings' extremes
    // or not, in blocks with and without it.
    const int n = 20000;
    std::vector<double> x(n);
    std::vector<float> y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = i;
        y[i] = i < n / 2 ? 20.0f + float(i % 11) : 40.0f + float(i % 5);
    }
    for (const float null : {25.0f, 42.0f, 35.0f}) {
        const GapRule rule{null, INFINITY};
        LevelOfDetail lod;
        lod.build(x.data(), y.data(), n, rule);
        const auto column = [](double v) { return (long long)(v / 97.0); };
        std::vector<int> picked;
        lod.pick(0.0, n - 1.0, column, 0, &picked);
        for (int& i : picked)
            i = std::max(i, -1);
        EXPECT_EQ(picked, walked(x, y, 0.0, n - 1.0, column, rule)) << "null " << null;
    }
}

namespace {

enum class Series { Spike, Square, Noise, Gaps };

struct Drawing {
    std::vector<double> x;
    std::vector<float> y;
};

Drawing makeSeries(Series kind, int n) {
    Drawing d;
    d.x.resize(n);
    d.y.resize(n);
    std::mt19937 random(7);
    std::normal_distribution<float> noise(20.0f, 4.0f);
    for (int i = 0; i < n; ++i) {
        d.x[i] = dayStart() + i * 2.0 / 86400.0;
        switch (kind) {
        case Series::Spike:
            d.y[i] = 20.0f;
            break;
        case Series::Square:
            d.y[i] = (i / 997) % 2 ? 30.0f : 10.0f;
            break;
        case Series::Noise:
            d.y[i] = noise(random);
            break;
        case Series::Gaps:
            d.y[i] = 20.0f + 6.0f * float(std::sin(i / 5000.0)) + float(i % 5);
            if (i % 40000 < 900 || i % 7919 == 0) d.y[i] = i % 2 ? kNull : -9999.0f;
            break;
        }
    }
    if (kind == Series::Spike) d.y[n / 3 + 12345] = 80.0f;
    return d;
}

tq::LineGraph* lineOf(Chart& c) {
    return qobject_cast<tq::LineGraph*>(c.plot()->plottable(0));
}

QImage picture(Chart& c, const QSize& size, bool everyReading) {
    lineOf(c)->setExactPerColumn(everyReading ? INT_MAX : 4);
    return c.renderImage(size);
}

bool linePixel(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return qRed(p) > 128 && qGreen(p) < 128 && qBlue(p) < 128;
}

// The line's pixels in a, and how many of them have no line pixel of b at
// most one pixel away. The rasteriser puts a point that lies near a pixel
// border into one column or the next by the slope of the segment it ends,
// so the four per column cannot match every reading to the pixel; a peak
// or a dip shows in both pictures or in neither.
std::pair<int, int> unmatched(const QImage& a, const QImage& b) {
    int line = 0, alone = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!linePixel(a, x, y)) continue;
            ++line;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const int u = x + dx, v = y + dy;
                    near = u >= 0 && v >= 0 && u < b.width() && v < b.height() && linePixel(b, u, v);
                }
            alone += near ? 0 : 1;
        }
    return {line, alone};
}

// Pixels of two pictures that differ, and the line's pixels in the first.
std::pair<int, int> difference(const QImage& a, const QImage& b) {
    int differ = 0, line = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            differ += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
            line += linePixel(a, x, y) ? 1 : 0;
        }
    return {differ, line};
}

} // namespace

TEST(LevelOfDetail, DrawsThePictureOfEveryReading) {
    const int n = 1'000'000;
    for (Series kind : {Series::Spike, Series::Square, Series::Noise, Series::Gaps}) {
        auto data = std::make_shared<Drawing>(makeSeries(kind, n));
        Chart c;
        c.setOutOfRangeLimitY(3000.0f);
        c.shareData(0, data, data->x.data(), data->y.data(), n);
        c.setManualY(0.0, 90.0);
        // Pixel for pixel: lines drawn without antialiasing, whose shades
        // would otherwise add up where many segments overlap.
        c.plot()->setNotAntialiasedElements(QCP::aeAll);
        c.redraw();
        ASSERT_NE(lineOf(c), nullptr);
        const double first = data->x.front(), last = data->x.back();
        for (const QSize size : {QSize(300, 200), QSize(1089, 500)}) {
            // The whole run, a tenth of it, and a few hundred readings.
            for (const double part : {1.0, 0.1, 0.0004}) {
                const double from = first + (last - first) * (part < 1.0 ? 0.3 : 0.0);
                c.setManualX(from, from + (last - from) * part);
                const QImage fast = picture(c, size, false);
                const QImage full = picture(c, size, true);
                const auto [line, invented] = unmatched(fast, full);
                const auto [fullLine, lost] = unmatched(full, fast);
                const QString where =
                    QStringLiteral("series %1 at %2 px, part %3").arg(int(kind)).arg(size.width()).arg(part);
                EXPECT_GT(line, size.width() / 4) << "nothing drawn";
                EXPECT_EQ(invented, 0) << qPrintable(where);
                EXPECT_EQ(lost, 0) << qPrintable(where);
                // Pixels that differ at all are those few at column borders
                // (and where the two draw a dense line as a polyline or as
                // segments, whose ends the rasteriser treats apart).
                EXPECT_LT(difference(fast, full).first, fullLine / 10 + 4) << qPrintable(where);
            }
        }
    }
}

TEST(LevelOfDetail, KeepsASingleSpikeInEightMillionReadings) {
    const int n = 8'000'000;
    auto data = std::make_shared<Drawing>(makeSeries(Series::Spike, n));
    Chart c;
    c.shareData(0, data, data->x.data(), data->y.data(), n);
    showChart(c, QSize(900, 400));
    const QImage image = c.renderImage(QSize(900, 400));
    // The line must reach the spike's pixel, in the spike's column.
    const int spike = n / 3 + 12345;
    const QPoint top = c.valueToPixel(data->x[spike], 80.0);
    bool reached = false;
    for (int x = top.x() - 1; x <= top.x() + 1; ++x)
        for (int y = top.y() - 1; y <= top.y() + 1; ++y)
            // Antialiased, a thin line may be a pale red.
            reached = reached || (qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 200);
    EXPECT_TRUE(reached) << "the spike was lost";
    // And the plot was handed a few points per column, not the readings.
    EXPECT_LT(lineOf(c)->data()->size(), 4 * 900 + 10);
    EXPECT_EQ(c.xData(0), data->x.data()) << "the readings were copied";
}

TEST(LevelOfDetail, ServesEverySeriesOfAChart) {
    // Humidity and temperature on two stacked axes, as a model 862 shows them.
    const int n = 300'000;
    auto humidity = std::make_shared<Drawing>(makeSeries(Series::Noise, n));
    auto temperature = std::make_shared<Drawing>(makeSeries(Series::Gaps, n));
    Chart c;
    c.setOutOfRangeLimitY(3000.0f);
    c.setSubsets(2);
    c.setMultiAxesSubsets({1, 1});
    c.plot()->setNotAntialiasedElements(QCP::aeAll);
    c.shareData(0, humidity, humidity->x.data(), humidity->y.data(), n);
    c.shareData(1, temperature, temperature->x.data(), temperature->y.data(), n);
    c.redraw();
    auto* second = qobject_cast<tq::LineGraph*>(c.plot()->plottable(1));
    ASSERT_NE(second, nullptr);
    lineOf(c)->setExactPerColumn(INT_MAX);
    second->setExactPerColumn(INT_MAX);
    const QImage full = c.renderImage(QSize(800, 500));
    lineOf(c)->setExactPerColumn(4);
    second->setExactPerColumn(4);
    const QImage fast = c.renderImage(QSize(800, 500));
    EXPECT_EQ(unmatched(fast, full).second, 0);
    EXPECT_EQ(unmatched(full, fast).second, 0);
    EXPECT_LT(second->data()->size(), 4 * 800 + 200);
}

TEST(ChartData, SharedReadingsAreHeldOnceAndCopiedOnlyWhenChanged) {
    auto data = std::make_shared<Drawing>(makeSeries(Series::Square, 5000));
    const std::weak_ptr<Drawing> watch = data;
    Chart c;
    c.shareData(0, data, data->x.data(), data->y.data(), 5000);
    EXPECT_EQ(c.points(), 5000);
    EXPECT_EQ(c.xData(0), data->x.data());
    const quint64 revision = c.dataRevision();
    data.reset();
    ASSERT_FALSE(watch.expired()) << "the chart keeps the readings it shows";
    EXPECT_EQ(c.y(0, 1000), 30.0f);

    // A change copies them first; a chart loaded from the state has its own.
    data = watch.lock();
    Chart other;
    ASSERT_TRUE(other.loadState(c.storeState()));
    c.setY(0, 1000, 42.0f);
    EXPECT_NE(c.yData(0), data->y.data());
    EXPECT_EQ(data.use_count(), 1) << "the chart let go of the readings it no longer shows";
    EXPECT_NE(c.dataRevision(), revision);
    EXPECT_EQ(data->y[1000], 30.0f) << "the owner's readings were changed";
    EXPECT_EQ(c.y(0, 1000), 42.0f);
    EXPECT_EQ(other.y(0, 1000), 30.0f);

    // Prepared again and reset: the arrays are let go of.
    c.setPoints(8'000'000);
    c.resetPoints();
    EXPECT_EQ(c.y(0, 7'999'999), c.nullValueY());
    EXPECT_EQ(c.x(0, 7'999'999), 0.0);
    c.redraw();
    EXPECT_EQ(lineOf(c)->data()->size(), 0);
}

TEST(LevelOfDetail, AGrowingSeriesDrawsAsIfSharedWhole) {
    // A live trend: the arrays grow (and move) a few readings at a time,
    // across block borders, with gaps and a spike arriving late.
    const int n = 200'000;
    const Drawing whole = makeSeries(Series::Gaps, n);
    auto grown = std::make_shared<Drawing>();
    Chart c;
    c.setOutOfRangeLimitY(3000.0f);
    c.plot()->setNotAntialiasedElements(QCP::aeAll);
    std::mt19937 random(3);
    int count = 0;
    for (const int step : {1, 63, 64, 65, 1000, 4096, 60'000, 134'711}) {
        for (int i = 0; i < step; ++i) {
            grown->x.push_back(whole.x[size_t(count + i)]);
            grown->y.push_back(count + i == n - 5 ? 75.0f : whole.y[size_t(count + i)]);
        }
        const int before = count;
        count += step;
        if (before == 0)
            c.shareData(0, grown, grown->x.data(), grown->y.data(), count);
        else
            ASSERT_TRUE(c.extendSharedData(count, grown->x.data(), {grown->y.data()}));
        // Drawn now and then in between, as the window does.
        if (random() % 2) c.redraw();
    }
    ASSERT_EQ(count, n);
    c.redraw();
    Chart fresh;
    fresh.setOutOfRangeLimitY(3000.0f);
    fresh.plot()->setNotAntialiasedElements(QCP::aeAll);
    auto copy = std::make_shared<Drawing>(*grown);
    fresh.shareData(0, copy, copy->x.data(), copy->y.data(), n);
    fresh.redraw();
    const tq::LevelOfDetail& a = lineOf(c)->levelOfDetail();
    const tq::LevelOfDetail& b = lineOf(fresh)->levelOfDetail();
    for (const auto& [from, to] : {std::pair{0, n}, {70, 130'000}, {n - 300, n}}) {
        const auto sa = a.summary(from, to), sb = b.summary(from, to);
        EXPECT_EQ(sa.minAt, sb.minAt);
        EXPECT_EQ(sa.maxAt, sb.maxAt);
        EXPECT_EQ(sa.lastAt, sb.lastAt);
        EXPECT_EQ(sa.gap, sb.gap);
    }
    EXPECT_EQ(c.renderImage(QSize(700, 300)), fresh.renderImage(QSize(700, 300)));
    // A shrunk count is not a growth, and changes nothing.
    EXPECT_FALSE(c.extendSharedData(n - 1, grown->x.data(), {grown->y.data()}));
    EXPECT_EQ(c.points(), n);
}

TEST(ChartData, LimitBandsSitOnTheirOwnAxis) {
    auto t = std::make_shared<Drawing>(makeSeries(Series::Square, 2000));
    auto h = std::make_shared<Drawing>(makeSeries(Series::Square, 2000));
    Chart c;
    c.setSubsets(2);
    c.setMultiAxesSubsets({1, 1});
    c.shareData(0, t, t->x.data(), t->y.data(), 2000);
    c.shareData(1, h, h->x.data(), h->y.data(), 2000);
    // A high limit on the second axis, above its readings (10 ... 30).
    c.setValueBands({{60.0, std::numeric_limits<double>::infinity(), Qt::red, 1}});
    showChart(c, QSize(600, 500));
    const QRect top = c.plot()->axisRect(0)->rect();
    const QRect bottom = c.plot()->axisRect(1)->rect();
    EXPECT_GE(c.plot()->axisRect(1)->axis(QCPAxis::atLeft)->range().upper, 60.0)
        << "the limit is out of view";
    EXPECT_LE(c.plot()->axisRect(0)->axis(QCPAxis::atLeft)->range().upper, 40.0) << "the first axis took it";
    const QImage image = c.renderImage(QSize(600, 500));
    auto reddish = [&](QPoint p) { return qRed(image.pixel(p)) > qBlue(image.pixel(p)) + 20; };
    EXPECT_TRUE(reddish(QPoint(bottom.center().x(), bottom.top() + 3)));
    EXPECT_FALSE(reddish(QPoint(top.center().x(), top.top() + 3)));
}
