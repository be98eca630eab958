// Graph window timings at the size of real recordings.
//
//   bench_graph [N]                  both series shapes, each in a process of its own
//   bench_graph N --shape smooth     one shape (smooth or folding)
//   ... --pdf FILE                   keeps the printed graph (one shape)
//
// N defaults to 1,000,000 points. The smooth series changes little within a
// pixel column; the folding one swings up and down inside every column at
// any N, the worst case for drawing a line. Figures: preparing the graph (without and
// with a template), first draw, full redraw, selecting a point, a cursor
// press and release, zooming, panning and resizing, filling the data list, printing the graph to a PDF
// file, an image of the chart, and the resident memory.

#include "AppPaths.h"
#include "Chart.h"
#include "DateTime.h"
#include "LevelOfDetail.h"
#include "TfrmGraph.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <qcustomplot.h>
#include <sys/resource.h>
#include <vector>

using namespace tq;

using namespace tq::bench;

namespace {

double peakResidentMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void row(const char* what, double value, const char* unit = "ms") {
    std::printf("  %-34s %10.1f %s\n", what, value, unit);
}

int runShape(int points, bool folding, const QString& keepPdf) {
    QTemporaryDir home;
    AppPaths::setHome(home.path());

    // The readings as the program holds a recording run: the values once,
    // shared by whoever shows them (the collection, the chart, the data
    // list); the times are the run's start and interval.
    auto readings = std::make_shared<std::vector<float>>(static_cast<size_t>(points));
    std::vector<float>& y = *readings;
    const TDateTime start = nowDays() - 30;
    const TimeLine x = TimeLine::regular(start, 2.0);
    // The folding series swings about four times in every pixel column of
    // the whole range at any N, so every N draws the same picture.
    const double swing = std::max(2.0, points / 4000.0);
    for (int i = 0; i < points; ++i) {
        y[size_t(i)] = folding ? 20.0f + 5.0f * float(std::sin(6.283185307 * i / swing)) + float(i % 7) / 10
                               : 20.0f + 8.0f * float(std::sin(6.283185307 * 3.0 * i / points));
    }

    TfrmGraph window(kModel860);
    window.resize(1089, 608);
    window.show();
    window.showDataLists();
    QApplication::processEvents();
    Chart* chart = window.chart();
    QCustomPlot* plot = chart->plot();
    const double xFirst = x[0];
    const double xEnd = x[points - 1] + 2 * kOneSecond;

    QElapsedTimer t;
    t.start();
    window.prepareGraph(1, points, xFirst, xEnd);
    const double prepareFirst = msSince(t);
    window.prepareGraph(1, points, xFirst, xEnd);
    const double prepareAgain = msSince(t);
    chart->shareData(0, readings, x, y.data(), points);
    window.refreshStatistics();
    msSince(t);
    chart->redraw();
    plot->repaint();
    const double firstDraw = msSince(t);

    std::vector<double> redraws;
    for (int k = 0; k < 5; ++k) {
        chart->setY(0, k, chart->y(0, k)); // the data changed: the whole path
        t.restart();
        chart->redraw();
        plot->repaint();
        redraws.push_back(msSince(t));
    }

    // What the user does to a drawn chart: a zoom frame dragged over the
    // middle, back to the whole range, the X range moved (a pan), and the
    // window resized. None of them changes the data.
    std::vector<double> zooms;
    std::vector<double> undos;
    std::vector<double> pans;
    std::vector<double> resizes;
    const QRect area = chart->plotRect();
    for (int k = 0; k < 5; ++k) {
        const QPoint from(area.left() + area.width() * (2 + k) / 10, area.top() + 10);
        const QPoint to(from.x() + area.width() / 10, area.bottom() - 10);
        t.restart();
        QTest::mousePress(plot, Qt::LeftButton, {}, plot->mapFrom(chart, from));
        QTest::mouseMove(plot, plot->mapFrom(chart, to));
        QTest::mouseRelease(plot, Qt::LeftButton, {}, plot->mapFrom(chart, to));
        plot->repaint();
        zooms.push_back(msSince(t));
        if (!chart->isZoomed()) {
            std::fprintf(stderr, "the zoom frame did not zoom\n");
            return 1;
        }
        chart->undoZoom();
        plot->repaint();
        undos.push_back(msSince(t));
    }
    const double span = xEnd - xFirst;
    for (int k = 0; k < 5; ++k) {
        const double from = xFirst + span * (0.1 + 0.05 * k);
        chart->setManualX(from, from + span * 0.5);
        t.restart();
        chart->redraw();
        plot->repaint();
        pans.push_back(msSince(t));
    }
    chart->setManualX(xFirst, xEnd);
    chart->redraw();
    for (int k = 0; k < 5; ++k) {
        window.resize(k % 2 ? 1089 : 1000, k % 2 ? 608 : 560);
        t.restart();
        QApplication::processEvents();
        plot->repaint();
        resizes.push_back(msSince(t));
    }
    window.resize(1089, 608);
    QApplication::processEvents();

    t.restart();
    window.fillDataList();
    QApplication::processEvents();
    const double dataList = msSince(t);

    std::vector<double> selects;
    for (int k = 0; k < 5; ++k) {
        t.restart();
        window.selectPoint(points / 7 * (k + 1));
        plot->repaint();
        selects.push_back(msSince(t));
    }
    window.selectPoint(0);
    plot->repaint();

    // A cursor dragged a little way: the press takes it, the release snaps
    // it to the nearest point and refreshes the statistics between A and B.
    std::vector<double> presses;
    std::vector<double> releases;
    const int lineY = chart->plotRect().center().y();
    for (int k = 0; k < 5; ++k) {
        const QPoint line(chart->valueToPixel(chart->vertLine(1), 0).x(), lineY);
        const QPoint to = line + QPoint(k % 2 ? -40 : 40, 0);
        t.restart();
        const int before = window.cursorAIndex();
        QTest::mousePress(plot, Qt::LeftButton, {}, plot->mapFrom(chart, line));
        plot->repaint();
        presses.push_back(msSince(t));
        const bool taken = chart->vertLineColor(1) == QColor(190, 190, 190);
        QTest::mouseRelease(plot, Qt::LeftButton, {}, plot->mapFrom(chart, to));
        plot->repaint();
        releases.push_back(msSince(t));
        if (!taken || window.cursorAIndex() == before) {
            std::fprintf(stderr, "the cursor drag did not take cursor A along\n");
            return 1;
        }
    }

    const double openMb = residentMb();

    // The level-of-detail layer's pyramid alone, built as the chart builds
    // it when the data is set.
    t.restart();
    LevelOfDetail pyramid;
    pyramid.build(x, y.data(), points, GapRule{Chart::kNullY, 3000.0f});
    const double pyramidMs = msSince(t);

    QTemporaryDir out;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(keepPdf.isEmpty() ? out.filePath(QStringLiteral("graph.pdf")) : keepPdf);
    chart->setPrintStyle(Chart::PrintStyle::Mono);
    t.restart();
    chart->printTo(&printer);
    const double print = msSince(t);
    const double pdfKb = double(QFile(printer.outputFileName()).size()) / 1024.0;

    t.restart();
    const QImage image = chart->renderImage(QSize(1089, 500));
    const double render = msSince(t);

    std::printf("%s series, %d points\n", folding ? "folding" : "smooth", points);
    row("prepareGraph, writes the template", prepareFirst);
    row("prepareGraph, from the template", prepareAgain);
    row("first draw", firstDraw);
    row("level-of-detail pyramid built", pyramidMs);
    row("redraw after a point changed (med 5)", median(redraws));
    row("zoom frame (median of 5)", median(zooms));
    row("undo zoom (median of 5)", median(undos));
    row("pan: X range moved (median of 5)", median(pans));
    row("resize the window (median of 5)", median(resizes));
    row("select a point (median of 5)", median(selects));
    row("cursor press (median of 5)", median(presses));
    row("cursor release (median of 5)", median(releases));
    row("fill the data list", dataList);
    row("print the graph to PDF", print);
    row("PDF file size", pdfKb, "KiB");
    row("image of the chart 1089x500", render);
    row("resident memory, graph open", openMb, "MB");
    // What the readings and one series' level-of-detail pyramid take of it.
    row("  of it the readings (their values)", double(points) * sizeof(float) / (1024.0 * 1024.0), "MB");
    row("  of it the level-of-detail pyramid", double(pyramid.bytes()) / (1024.0 * 1024.0), "MB");
    row("peak resident memory", peakResidentMb(), "MB");
    return image.isNull() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int points = 1000000;
    const char* shape = nullptr;
    const char* pdf = "";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shape") == 0 && i + 1 < argc)
            shape = argv[++i];
        else if (std::strcmp(argv[i], "--pdf") == 0 && i + 1 < argc)
            pdf = argv[++i];
        else
            points = std::max(10, atoi(argv[i]));
    }
    if (shape) {
        QApplication app(argc, argv);
        return runShape(points, std::strcmp(shape, "folding") == 0, QString::fromLocal8Bit(pdf));
    }
    // Each shape in a fresh process, so the peak memory is its own.
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (const char* s : {"smooth", "folding"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::number(points), QStringLiteral("--shape"), QString::fromLatin1(s)});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) ++failed;
    }
    return failed;
}
