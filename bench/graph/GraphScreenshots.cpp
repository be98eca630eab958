// Developer tool: grabs an empty DataLogger window and a filled model 862
// graph window to PNG files, to look at the layout (run under Xvfb).

#include "AppPaths.h"
#include "Chart.h"
#include "DataLoggerWindow.h"
#include "DataSetCollection.h"
#include "DateTime.h"
#include "TfrmGraph.h"

#include <QApplication>
#include <QCheckBox>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
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
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    QTemporaryDir home;
    AppPaths::setHome(home.path());

    {
        QMainWindow main;
        auto* area = new QMdiArea(&main);
        main.setCentralWidget(area);
        main.resize(1280, 760);
        main.show();
        createDataLoggerWindow(area, 860, false);
        save(&main, out + QStringLiteral("/graph_datalogger_empty.png"));
    }
    {
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
        TfrmGraph* w = createDataLoggerWindow(area, 862, true);
        w->fillDataSetList();
        showDataSet(0);
        w->fillDataList();
        w->selectPoint(0);
        save(&main, out + QStringLiteral("/graph_862_filled.png"));

        // The same data on one axis, with the overall maximum marked "OL".
        w->findChild<QCheckBox*>(QStringLiteral("chkSplit"))->click();
        w->findChild<QCheckBox*>(QStringLiteral("chkSplit"))->click();
        save(&main, out + QStringLiteral("/graph_862_single_axis.png"));
    }
    return 0;
}
