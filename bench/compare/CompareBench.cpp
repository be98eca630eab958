// The compare window at the size of ten full recordings: ten runs of a
// million readings each (two seconds apart, one in °F, a few gaps), their
// first draw, a redraw after a zoom frame, the switch to elapsed time and
// the resident memory per reading. Prints its figures; run by hand.

#include "Chart.h"
#include "TfrmCompare.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

using namespace tq;

using namespace tq::bench;

namespace {

struct Held {
    std::vector<double> times;
    std::vector<float> values;
};

compare::Run makeRun(int k, int n) {
    auto held = std::make_shared<Held>();
    held->times.resize(size_t(n));
    held->values.resize(size_t(n));
    const TDateTime start = toDays(QDate(2024, 3, 1), QTime(0, 0)) + k * 0.37;
    const bool f = k == 3;
    for (int i = 0; i < n; ++i) {
        held->times[size_t(i)] = start + i * 2.0 / kSecondsPerDay;
        const float c = 5.0f + k + 3.0f * float(std::sin(i / (4000.0 + k * 300))) + float(i % 13) * 0.01f;
        held->values[size_t(i)] = i % 250000 == 1000 ? 9999.0f : f ? c * 1.8f + 32.0f : c;
    }
    compare::Run r;
    r.source = QStringLiteral("run%1.880").arg(k + 1);
    r.dataSet = 1;
    r.intervalSeconds = 2;
    r.unit = f ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
    r.samples = {held->values.data(), held->times.data(), n, held};
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = 10, n = 1000000;

    TfrmCompare window;
    window.resize(1300, 800);
    window.show();
    QApplication::processEvents();
    const double before = residentMb();
    std::vector<compare::Run> all;
    for (int k = 0; k < runs; ++k)
        all.push_back(makeRun(k, n));
    const double readings = residentMb();

    QElapsedTimer t;
    t.start();
    for (const compare::Run& r : all)
        compare::row(r, TemperatureUnit::Celsius, RunLimits{});
    const double table = msSince(t);

    window.addRuns(all);
    QCustomPlot* plot = window.chart()->plot();
    plot->repaint();
    const double firstDraw = msSince(t);
    window.refreshTables();
    const double tables = msSince(t);
    const double shown = residentMb();

    Chart* chart = window.chart();
    std::vector<double> zooms;
    const QRect area = chart->plotRect();
    for (int k = 0; k < 5; ++k) {
        const QPoint from(area.left() + area.width() * (2 + k) / 10, area.top() + 10);
        const QPoint to(from.x() + area.width() / 10, area.bottom() - 10);
        QTest::mousePress(plot, Qt::LeftButton, {}, plot->mapFrom(chart, from));
        QTest::mouseMove(plot, plot->mapFrom(chart, to));
        t.restart();
        QTest::mouseRelease(plot, Qt::LeftButton, {}, plot->mapFrom(chart, to));
        plot->repaint();
        zooms.push_back(msSince(t));
        if (!chart->isZoomed()) {
            std::fprintf(stderr, "the zoom frame did not zoom\n");
            return 1;
        }
        chart->undoZoom();
        plot->repaint();
    }

    t.restart();
    window.setAlign(compare::Align::Elapsed);
    plot->repaint();
    window.refreshTables();
    const double elapsed = msSince(t);
    const double elapsedMb = residentMb();

    const double total = double(runs) * n;
    std::printf("runs x readings:                    %d x %d\n", runs, n);
    std::printf("first draw of the chart:            %.1f ms\n", firstDraw);
    std::printf("then both tables (whole, A to B):   %.1f ms\n", tables);
    std::printf("  the figures of one table alone:   %.1f ms\n", table);
    std::printf("redraw after zoom (median of 5):    %.1f ms\n", median(zooms));
    std::printf("switch to elapsed time, tables too: %.1f ms\n", elapsed);
    std::printf("readings themselves:                %.1f bytes a reading\n",
                (readings - before) * 1024 * 1024 / total);
    std::printf("compare window, by clock:           %.1f bytes a reading\n",
                (shown - readings) * 1024 * 1024 / total);
    std::printf("compare window, by elapsed time:    %.1f bytes a reading\n",
                (elapsedMb - readings) * 1024 * 1024 / total);
    std::printf("all, by clock:                      %.1f bytes a reading\n",
                (shown - before) * 1024 * 1024 / total);
    return 0;
}
