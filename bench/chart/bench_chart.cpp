// Chart timings: preparing and first drawing a million points, a full
// redraw, and one cursor-line move as a drag does it (line moved, cursor
// layer invalidated, widget repainted).

#include "Chart.h"

#include "BenchSupport.h"

#include <DateTime.h>

#include <QApplication>
#include <QElapsedTimer>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace tq::bench;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = 1000000;
    const double start = tq::toDays(QDate(2024, 3, 14), QTime(0, 0));

    tq::Chart chart;
    chart.resize(1089, 500);
    chart.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    std::vector<double> x(n);
    std::vector<float> y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = start + i * 2.0 / 86400.0;
        y[i] = 20.0f + 5.0f * float(std::sin(i / 5000.0)) + float(i % 17) * 0.01f;
    }
    chart.setSubsets(1);
    chart.setPoints(n);
    chart.setXData(x.data(), n);
    chart.setYData(y.data(), n);
    chart.setPlottingMethod(tq::Chart::PlottingMethod::Spline);
    for (int line : {1, 2}) {
        chart.setVertLine(line, x[line * n / 3]);
        chart.setVertLineType(line, tq::Chart::LineCursor);
        chart.setVertLineText(line, line == 1 ? QStringLiteral("A") : QStringLiteral("B"));
    }
    chart.redraw();
    chart.plot()->repaint();
    const double firstDraw = timer.nsecsElapsed() / 1e6;

    std::vector<double> redraws;
    for (int i = 0; i < 5; ++i) {
        chart.setY(0, i, 21.0f); // data changed: the full path
        timer.restart();
        chart.redraw();
        chart.plot()->repaint();
        redraws.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::vector<double> moves;
    for (int i = 0; i < 50; ++i) {
        timer.restart();
        chart.setVertLine(1, x[n / 3 + i * 5000]);
        chart.invalidateImage();
        chart.plot()->repaint();
        moves.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::printf("points:                         %d\n", n);
    std::printf("prepare + first draw:           %.1f ms\n", firstDraw);
    std::printf("full redraw (median of 5):      %.1f ms\n", median(redraws));
    std::printf("cursor move (median of 50):     %.2f ms\n", median(moves));
    std::printf("cursor move (slowest of 50):    %.2f ms\n", *std::max_element(moves.begin(), moves.end()));
    return 0;
}
