// The compare window: runs in, difference on and off, cursors, export.

#include "Chart.h"
#include "CompareSources.h"
#include "DataLoggerWindow.h"
#include "DataSetCollection.h"
#include "DateTime.h"
#include "TfrmCompare.h"
#include "TfrmGraph.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMdiArea>
#include <QTableWidget>
#include <QTemporaryDir>

#include <qcustomplot.h>

#include <gtest/gtest.h>

using namespace tq;

namespace {

compare::Run run(TDateTime start, int interval, int count, float base, TemperatureUnit unit) {
    struct Held {
        std::vector<double> times;
        std::vector<float> values;
    };
    auto held = std::make_shared<Held>();
    for (int i = 0; i < count; ++i) {
        held->times.push_back(start + i * interval / kSecondsPerDay);
        held->values.push_back(i == 3 ? 9999.0f : base + float(i % 5));
    }
    compare::Run r;
    r.source = QStringLiteral("r%1").arg(base);
    r.intervalSeconds = interval;
    r.unit = unit;
    r.samples = {held->values.data(), held->times.data(), count, held};
    return r;
}

} // namespace

TEST(CompareWindow, ShowsRunsTheirTableTheDifferenceAndExports) {
    TfrmCompare w;
    // Empty, the time axis shows today rather than day 0.
    ASSERT_TRUE(w.chart()->manualX());
    EXPECT_NEAR(w.chart()->manualMinX(), nowDays(), 1.0);
    EXPECT_EQ(w.chart()->plot()->legend->itemCount(), 0); // no unnamed swatch
    const TDateTime start = 45000.5;
    w.addRuns({run(start, 60, 30, 20.0f, TemperatureUnit::Celsius),
               run(start + 0.25 / 24, 120, 10, 70.0f, TemperatureUnit::Fahrenheit),
               run(start, 60, 20, 21.0f, TemperatureUnit::Celsius)});
    Chart& c = *w.chart();
    EXPECT_FALSE(c.manualX()); // the runs' own times
    EXPECT_EQ(c.plot()->legend->itemCount(), 3);
    EXPECT_TRUE(w.tablesDue());
    QCoreApplication::processEvents(); // the tables follow the chart
    EXPECT_FALSE(w.tablesDue());
    auto* grid = w.findChild<QTableWidget*>(QStringLiteral("gridRuns"));
    auto* between = w.findChild<QTableWidget*>(QStringLiteral("gridCursor"));
    ASSERT_TRUE(grid && between);
    EXPECT_EQ(w.unit(), TemperatureUnit::Celsius); // most runs are
    EXPECT_EQ(c.subsets(), 3);
    EXPECT_EQ(c.points(), 30); // shorter runs padded with gaps
    EXPECT_TRUE(c.subsetLabel(1).contains(QStringLiteral("°F shown as °C")));
    EXPECT_NEAR(c.y(1, 0), (70.0 - 32.0) * 5.0 / 9.0, 1e-4);
    EXPECT_EQ(c.y(1, 10), compare::kGap);
    EXPECT_EQ(c.y(0, 3), 9999.0f); // a mark stays a gap
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(0, 3)->text(), QStringLiteral("30"));

    w.setDifference(true, 0, 2);
    w.refreshTables();
    EXPECT_EQ(c.subsets(), 4);
    EXPECT_EQ(c.axisCount(), 2);
    EXPECT_TRUE(c.subTitle().contains(compare::methodText(compare::Method::SameTimes)));
    ASSERT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->item(3, 3)->text(), QStringLiteral("19")); // 20 common times, one with a mark
    EXPECT_NEAR(c.y(3, 0), -1.0f, 1e-5);

    // The cursors cut every run at once.
    w.setCursors(start + 2 / 1440.0, start + 11 / 1440.0);
    EXPECT_EQ(between->item(0, 3)->text(), QStringLiteral("10"));
    EXPECT_EQ(between->item(2, 3)->text(), QStringLiteral("10"));
    EXPECT_EQ(between->item(1, 3)->text(), QStringLiteral("0"));

    w.setAlign(compare::Align::Elapsed);
    EXPECT_TRUE(c.elapsedTimeAxis());
    EXPECT_EQ(c.x(1, 0), 0.0);

    QTemporaryDir dir;
    for (const char* name : {"c.csv", "c.svg"}) {
        const QString file = dir.filePath(QLatin1String(name));
        ASSERT_TRUE(w.exportTo(file).ok()) << name;
        EXPECT_GT(QFile(file).size(), 100) << name;
    }

    w.removeRun(0); // A goes, and with it the difference
    w.refreshTables();
    EXPECT_FALSE(w.differenceShown());
    EXPECT_EQ(c.subsets(), 2);
    EXPECT_EQ(grid->rowCount(), 2);
}

TEST(CompareWindow, TheDataSetListComparesTheSelectedDataSets) {
    std::vector<DataSet> sets(3);
    std::vector<float> values;
    std::vector<double> times;
    for (int k = 0; k < 3; ++k) {
        sets[size_t(k)].startTime = 45000.5 + k;
        sets[size_t(k)].intervalSeconds = 60;
        sets[size_t(k)].sampleCount = 5;
        sets[size_t(k)].flags = k == 2 ? 0x01 : 0x00;
        for (int i = 0; i < 5; ++i) {
            values.push_back(20.0f + k + i);
            times.push_back(45000.5 + k + i * 60 / kSecondsPerDay);
        }
    }
    ASSERT_TRUE(dataSetCollection().replaceContents(sets, values, times));
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    TfrmGraph* w = createDataLoggerWindow(&area, kModel860, false);
    w->fillDataSetList();
    std::vector<int> asked;
    TfrmGraph::setCompareDataSets([&](const std::vector<int>& s) { asked = s; });
    auto* grid = w->findChild<QTableWidget*>(QStringLiteral("Grid2"));
    auto* compare = w->findChild<QAction*>(QStringLiteral("Compare1"));
    ASSERT_TRUE(grid && compare);
    EXPECT_FALSE(compare->isEnabled()); // one row is no comparison
    const int last = grid->columnCount() - 1;
    grid->setRangeSelected(QTableWidgetSelectionRange(2, 0, 2, last), true);
    EXPECT_TRUE(compare->isEnabled());
    compare->trigger();
    EXPECT_EQ(asked, std::vector<int>({0, 2}));
    TfrmGraph::setCompareDataSets({});

    // The runs view the collection's readings, with what the directory says.
    const std::vector<compare::Run> runs =
        compare::collectionRuns(dataSetCollection(), QStringLiteral("DataLogger"), 3);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].samples.values, dataSetCollection().slice(2).values);
    EXPECT_EQ(runs[0].unit, TemperatureUnit::Fahrenheit);
    EXPECT_EQ(runs[0].dataSet, 3);
    EXPECT_EQ(runs[0].intervalSeconds, 60);
    dataSetCollection().replaceContents({}, {}, {});
}
