// Prepares and draws a graph of 1,000,000 points, then measures the redraw
// while a cursor is dragged (target: under 30 ms per redraw).

#include "AppPaths.h"
#include "Chart.h"
#include "DateTime.h"
#include "TfrmGraph.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <qcustomplot.h>
#include <vector>

using namespace tq;

namespace {
double msSince(QElapsedTimer& t) {
    const double ms = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    return ms;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    AppPaths::setHome(home.path());
    const int points = argc > 1 ? std::max(10, atoi(argv[1])) : 1000000;

    std::vector<double> x(static_cast<size_t>(points));
    std::vector<float> y(static_cast<size_t>(points));
    const TDateTime start = nowDays() - 30;
    for (int i = 0; i < points; ++i) {
        x[size_t(i)] = start + double(i) * 2 * kOneSecond;
        y[size_t(i)] = 20.0f + 5.0f * float(std::sin(i / 500.0)) + float(i % 7) / 10;
    }

    TfrmGraph window(860);
    window.resize(1089, 608);
    window.show();
    QApplication::processEvents();
    Chart* chart = window.chart();

    QElapsedTimer t;
    t.start();
    window.prepareGraph(1, points, x.front(), x.back() + 2 * kOneSecond);
    const double prepare = msSince(t);
    chart->setXData(x.data(), points);
    chart->setYData(y.data(), points);
    const double fill = msSince(t);
    window.refreshStatistics();
    const double statistics = msSince(t);
    chart->redraw();
    chart->plot()->repaint();
    const double firstDraw = msSince(t);
    window.selectPoint(0);
    chart->plot()->repaint();
    const double select = msSince(t);

    window.fillDataList();
    const double dataList = msSince(t);

    std::printf("points                         %d\n", points);
    std::printf("prepareGraph                   %8.1f ms\n", prepare);
    std::printf("set X and Y data               %8.1f ms\n", fill);
    std::printf("overall statistics             %8.1f ms\n", statistics);
    std::printf("first draw                     %8.1f ms\n", firstDraw);
    std::printf("selectPoint + draw             %8.1f ms\n", select);
    std::printf("fill data list                 %8.1f ms\n", dataList);

    // What a drag does between two repaints: move the line, invalidate, paint.
    const int moves = 60;
    std::vector<double> each;
    for (int k = 0; k < moves; ++k) {
        const double at = x.front() + (x.back() - x.front()) * (0.2 + 0.6 * k / moves);
        t.restart();
        chart->setVertLine(1, at);
        chart->invalidateImage();
        chart->plot()->repaint();
        each.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(each.begin(), each.end());
    double sum = 0;
    for (double v : each)
        sum += v;
    std::printf(
        "cursor drag redraw (%d moves)  mean %6.2f ms, median %6.2f ms, max %6.2f ms (target < 30 ms)\n",
        moves, sum / moves, each[each.size() / 2], each.back());

    // The release: snap, statistics between the cursors, full redraw.
    t.restart();
    window.refreshCursorStatistics();
    chart->redraw();
    chart->plot()->repaint();
    std::printf("cursor release (stats + draw)  %8.1f ms\n", msSince(t));
    return 0;
}
