// Developer tool: pictures of the graph windows to look at (run under Xvfb,
// with a window manager where placement matters).
//
//   graph_screenshots [OUTDIR] [layout] [large] [marks]
//
// layout: an empty DataLogger window and a filled model 862 window (widget
// grabs). large: a file window with 1,000,000 points of the folding bench
// series and its data list. marks: a DataLogger window whose data set has
// 86400 samples, starts on a long date and holds a -9999.0 sample, with the
// data list scrolled to it. The large and marks scenes also write the chart
// alone (chart image, for image diffs) and, where ImageMagick's import is
// installed, the whole screen.

#include "AppPaths.h"
#include "Chart.h"
#include "DataListView.h"
#include "DataLoggerWindow.h"
#include "DataSetCollection.h"
#include "DateTime.h"
#include "TfrmGraph.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>

using namespace tq;

namespace {
void save(QWidget* w, const QString& file) {
    QTest::qWait(200);
    w->grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

// The whole X screen, window manager frames included.
void saveScreen(const QString& file) {
    QTest::qWait(800);
    const QString import = QStandardPaths::findExecutable(QStringLiteral("import"));
    if (import.isEmpty()) return;
    if (QProcess::execute(import, {QStringLiteral("-window"), QStringLiteral("root"), file}) == 0)
        std::printf("%s\n", qPrintable(file));
}

void saveChart(Chart* chart, const QString& file) {
    chart->renderImage(QSize(1000, 500)).save(file);
    std::printf("%s\n", qPrintable(file));
}

TDateTime fixedStart() {
    TDateTime t = 0;
    encodeDateTime(2024, 3, 1, 0, 0, 0, t);
    return t;
}

void layoutScene(const QString& out) {
    {
        QMainWindow main;
        auto* area = new QMdiArea(&main);
        main.setCentralWidget(area);
        main.resize(1280, 760);
        main.show();
        createDataLoggerWindow(area, kModel860, false);
        save(&main, out + QStringLiteral("/graph_datalogger_empty.png"));
    }
    QMainWindow main;
    auto* area = new QMdiArea(&main);
    main.setCentralWidget(area);
    main.resize(1400, 800);
    main.show();
    // A day of readings every 2 minutes: one out-of-range spike.
    std::vector<DataSet> sets(2);
    std::vector<float> values;
    std::vector<double> times;
    TDateTime start = 0;
    encodeDateTime(2024, 3, 29, 7, 13, 15, start);
    sets[0].startTime = start;
    sets[0].intervalSeconds = 120;
    sets[0].sampleCount = 720;
    for (int j = 0; j < 720; ++j) {
        values.push_back(j == 400 ? 9999.0f
                                  : float(std::round((22.0 + 6.0 * std::sin(j / 115.0)) * 10) / 10));
        times.push_back(start + j * 120 * kOneSecond);
    }
    sets[1].startTime = start + 2;
    sets[1].intervalSeconds = 60;
    sets[1].sampleCount = 30;
    sets[1].flags = 1;
    for (int j = 0; j < 30; ++j) {
        values.push_back(70.0f + float(j % 5));
        times.push_back(start + 2 + j * 60 * kOneSecond);
    }
    dataSetCollection().replaceContents(sets, values, times);
    TfrmGraph* w = createDataLoggerWindow(area, kModel862, true);
    w->fillDataSetList();
    w->showDataSet(0);
    w->fillDataList();
    w->selectPoint(0);
    save(&main, out + QStringLiteral("/graph_862_filled.png"));

    // The same data on one axis, with the overall maximum marked "OL".
    w->findChild<QCheckBox*>(QStringLiteral("chkSplit"))->click();
    w->findChild<QCheckBox*>(QStringLiteral("chkSplit"))->click();
    save(&main, out + QStringLiteral("/graph_862_single_axis.png"));
}

void largeScene(const QString& out) {
    const int points = 1000000;
    std::vector<double> x(points);
    std::vector<float> y(points);
    for (int i = 0; i < points; ++i) {
        x[size_t(i)] = fixedStart() + double(i) * 2 * kOneSecond;
        y[size_t(i)] = 20.0f + 5.0f * float(std::sin(i / 500.0)) + float(i % 7) / 10;
    }
    QMainWindow main;
    auto* area = new QMdiArea(&main);
    main.setCentralWidget(area);
    main.resize(1260, 760);
    main.show();
    auto* w = new TfrmGraph(kModel860);
    w->setWindowTitle(QStringLiteral("large.txt"));
    QMdiSubWindow* sub = area->addSubWindow(w);
    sub->setGeometry(0, 0, 1240, 700);
    sub->show();
    w->prepareGraph(1, points, x.front(), x.back() + 2 * kOneSecond);
    w->chart()->setXData(x.data(), points);
    w->chart()->setYData(y.data(), points);
    w->refreshStatistics();
    w->fillDataList();
    w->showDataLists();
    w->selectPoint(0);
    w->chart()->redraw();
    save(&main, out + QStringLiteral("/graph_large_window.png"));
    saveChart(w->chart(), out + QStringLiteral("/graph_large_chart.png"));
    saveScreen(out + QStringLiteral("/graph_large_screen.png"));
}

void marksScene(const QString& out) {
    // Two days of 2-second samples from 27 December, one reading below
    // -200 (stored as -9999.0) and one above 1370 (9999.0).
    const int count = 86400;
    std::vector<DataSet> sets(1);
    std::vector<float> values;
    std::vector<double> times;
    TDateTime start = 0;
    encodeDateTime(2024, 12, 27, 10, 0, 0, start);
    sets[0].startTime = start;
    sets[0].intervalSeconds = 2;
    sets[0].sampleCount = count;
    for (int j = 0; j < count; ++j) {
        const float v = float(std::round((21.0 + 4.0 * std::sin(j / 9000.0)) * 10) / 10);
        values.push_back(j == 43210 ? -9999.0f : j == 60000 ? 9999.0f : v);
        times.push_back(start + j * 2 * kOneSecond);
    }
    dataSetCollection().replaceContents(sets, values, times);

    QMainWindow main;
    auto* area = new QMdiArea(&main);
    main.setCentralWidget(area);
    main.resize(1260, 760);
    main.show();
    TfrmGraph* w = createDataLoggerWindow(area, kModel860, true);
    w->fillDataSetList();
    w->showDataSet(0);
    w->fillDataList();
    w->selectPoint(0);
    // The row of the -9999.0 sample in the middle of the data list, once
    // the list has its size.
    QTest::qWait(200);
    if (auto* list = w->findChild<DataListView*>(QStringLiteral("Grid3"))) list->centerOn(43210);
    save(&main, out + QStringLiteral("/graph_marks_window.png"));
    saveChart(w->chart(), out + QStringLiteral("/graph_marks_chart.png"));
    saveScreen(out + QStringLiteral("/graph_marks_screen.png"));
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const QString out = args.isEmpty() || !args.first().startsWith(QLatin1Char('/')) ? QStringLiteral("/tmp")
                                                                                     : args.takeFirst();
    if (args.isEmpty()) args = {QStringLiteral("layout"), QStringLiteral("large"), QStringLiteral("marks")};
    QTemporaryDir home;
    AppPaths::setHome(home.path());
    if (args.contains(QStringLiteral("layout"))) layoutScene(out);
    if (args.contains(QStringLiteral("large"))) largeScene(out);
    if (args.contains(QStringLiteral("marks"))) marksScene(out);
    return 0;
}
