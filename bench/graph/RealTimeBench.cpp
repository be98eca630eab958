// The Real Time Graph with a long trend, offscreen.
//
//   bench_realtime [N]     N readings of an 862 (default 2,600,000: 30 days
//                          at a reading a second)
//
// Figures: adding the readings with the window hidden (per reading), the
// first draw, a reading arriving while the whole trend is shown and while
// the last hour is (the window's work per reading, drawing included), a
// zoom, the resident memory of the trend and the bytes per reading.

#include "BenchSupport.h"
#include "Chart.h"
#include "DateTime.h"
#include "LiveValues.h"
#include "TfrmRealTime.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <cstdio>

using namespace tq;
using namespace tq::bench;

namespace {
LiveSample sampleAt(TDateTime start, int i) {
    LiveSample s;
    s.time = start + i / 86400.0;
    // A cold room: a daily swing, the door opened now and then, noise.
    const double day = std::sin(i * 2.0 * M_PI / 86400.0);
    s.temperature = float(
        std::round((4.0 + 1.5 * day + ((i / 3600) % 11 == 0 ? 3.0 : 0.0) + 0.1 * ((i * 7919) % 13 - 6)) *
                   10.0) /
        10.0);
    s.humidity = float(std::round((70.0 - 10.0 * day + 0.1 * ((i * 104729) % 17 - 8)) * 10.0) / 10.0);
    s.dewPoint = dewPoint(s.temperature, s.humidity, false);
    return s;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 2'600'000;
    const double before = residentMb();
    QElapsedTimer t;
    t.start();

    auto* window = new TfrmRealTime;
    window->resize(1400, 900);
    const TDateTime start = nowDays() - n / 86400.0;
    t.restart();
    for (int i = 0; i < n; ++i)
        window->addSample(sampleAt(start, i), kModel862);
    const double adding = msSince(t);
    const double filled = residentMb();

    window->show();
    if (!QTest::qWaitForWindowExposed(window)) std::fprintf(stderr, "the window was not shown\n");
    t.restart();
    window->chart()->redraw();
    const double firstDraw = msSince(t);

    int next = n;
    // A reading as the window takes it (drawn or not, as it decides), and
    // a full redraw, forced, each time.
    auto perReading = [&](int count, std::vector<double>* redraws) {
        std::vector<double> times;
        for (int k = 0; k < count; ++k) {
            t.restart();
            window->addSample(sampleAt(start, next++), kModel862);
            times.push_back(msSince(t));
            window->chart()->redraw();
            redraws->push_back(msSince(t));
        }
        return times;
    };
    std::vector<double> wholeDraws, hourDraws;
    const std::vector<double> whole = perReading(30, &wholeDraws);
    window->cboSpan->setCurrentIndex(2); // the last hour
    const std::vector<double> hour = perReading(30, &hourDraws);

    // A zoom over the middle of the trend, then following again.
    Chart& c = *window->chart();
    t.restart();
    c.setManualX(start + n / 2 / 86400.0, start + (n / 2 + 86400) / 86400.0);
    c.redraw();
    const double zoom = msSince(t);
    window->btnFollow->click();
    const double follow = msSince(t);

    std::printf("readings                         %d (862: temperature, humidity, dew point)\n", n);
    std::printf("adding, window hidden            %.0f ms (%.2f us a reading)\n", adding,
                adding * 1000.0 / n);
    std::printf("first draw of the whole trend    %.1f ms\n", firstDraw);
    std::printf("a reading, whole trend shown     median %.2f ms, max %.1f ms; a full redraw %.1f ms\n",
                median(whole), *std::max_element(whole.begin(), whole.end()), median(wholeDraws));
    std::printf("a reading, last hour shown       median %.2f ms, max %.1f ms; a full redraw %.1f ms\n",
                median(hour), *std::max_element(hour.begin(), hour.end()), median(hourDraws));
    std::printf("zoom to a day, follow again      %.1f ms, %.1f ms\n", zoom, follow);
    std::printf("trend arrays                     %.1f MB (%.1f bytes a reading)\n",
                double(window->trend().bytes()) / 1048576.0, double(window->trend().bytes()) / n);
    std::printf("resident memory for the trend    %.1f MB (%.1f bytes a reading)\n", filled - before,
                (filled - before) * 1048576.0 / n);
    // The window draws a long trend once every ten seconds at most (once a
    // pixel column's time), a short one each second.
    std::printf(
        "CPU share at a reading a second  whole trend about %.2f %%, last hour about %.2f %% of a core\n",
        (median(whole) + median(wholeDraws) / 10.0) / 10.0, (median(hour) + median(hourDraws) / 2.6) / 10.0);
    window->markSaved(window->saveMark());
    delete window;
    return 0;
}
