#include "DataLoggerWindow.h"

#include "Chart.h"
#include "CommandGuard.h"
#include "DataSetCollection.h"
#include "Regional.h"
#include "TfrmGraph.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTableWidget>

namespace tq {

namespace {
constexpr int kNewWindowPoints = 500;

// The rate column: minutes and seconds, each at least two digits.
QString listRateText(int seconds) {
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

TfrmGraph* createDataLoggerWindow(QMdiArea* area, int modelCode, bool fullWidth) {
    auto* window = new TfrmGraph(modelCode);
    window->becomeDataLoggerWindow();

    QMdiSubWindow* sub = area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    const QSize client = area->viewport()->size();
    const int frame = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    const int width = fullWidth ? client.width() : window->width() + 2 * frame;
    sub->setGeometry(0, 0, width, qMax(200, client.height() - 50));
    sub->showNormal();
    window->showDataLists();

    window->chart()->setAllowGraphAnnotHotSpots(true);
    const TDateTime now = nowDays();
    window->prepareGraph(modelCode == TfrmGraph::kModel862 ? 2 : 1, kNewWindowPoints, now,
                         now + kNewWindowPoints * kOneSecond);
    return window;
}

void TfrmGraph::fillDataSetList() {
    const DataSetCollection& collection = dataSetCollection();
    const int count = collection.count();
    Grid2->clearContents();
    // An empty list keeps one blank row, as a new window shows.
    Grid2->setRowCount(qMax(1, count));
    for (int k = 0; k < count; ++k) {
        const DataSet& s = collection.dataSet(k);
        // The logger's clock knows no zones: a start in a daylight-saving
        // gap still shows as recorded.
        const QString time = timeOf(s.startTime).toString(QStringLiteral("hh:mm:ss"));
        const QStringList cells{QString::number(k + 1),          dateText(s.startTime),          time,
                                listRateText(s.intervalSeconds), QString::number(s.sampleCount), QString(),
                                QString(s.unitLetter())};
        for (int c = 0; c < cells.size(); ++c)
            Grid2->setItem(k, c, new QTableWidgetItem(cells[c]));
    }
    if (count == 0)
        for (int c = 0; c < Grid2->columnCount(); ++c)
            Grid2->setItem(0, c, new QTableWidgetItem(QString()));
    Grid2->clearSelection();
    Grid2->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, Grid2->columnCount() - 1), true);
    fitDataSetColumns();
}

void TfrmGraph::Grid2Click(int row) {
    const QTableWidgetItem* date = Grid2->item(row, 1);
    if (!date || date->text().isEmpty()) return;
    guarded([this, row] {
        showDataSet(row);
        fillDataList();
        selectDataRow(0);
        selectPoint(0);
    });
}

void showDataSet(int k) {
    TfrmGraph* window = TfrmGraph::dataLoggerWindow();
    const DataSetCollection& collection = dataSetCollection();
    if (!window || k < 0 || k >= collection.count()) return;
    const DataSet& set = collection.dataSet(k);
    const SampleSlice slice = collection.slice(k);
    window->prepareGraph(window->modelCode() == TfrmGraph::kModel862 ? 2 : 1, set.sampleCount, set.startTime,
                         set.startTime + double(set.sampleCount) * set.intervalSeconds / kSecondsPerDay);
    Chart* chart = window->chart();
    if (!slice.empty()) {
        chart->setXData(slice.times, slice.count);
        chart->setYData(slice.values, slice.count);
    }
    window->refreshStatistics();
    // The data set's own start and rate rather than those guessed from the
    // chart points.
    window->findChild<QLineEdit*>(QStringLiteral("txtStartTime"))->setText(dateTimeText(set.startTime));
    window->findChild<QLineEdit*>(QStringLiteral("txtSamplingRate"))
        ->setText(minutesSecondsText(set.intervalSeconds));
    window->findChild<QLineEdit*>(QStringLiteral("txtDataNo"))->setText(QString::number(set.sampleCount));
    chart->redraw();
}

} // namespace tq
