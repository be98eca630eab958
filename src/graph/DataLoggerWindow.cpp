#include "DataLoggerWindow.h"

#include "Chart.h"
#include "CommandGuard.h"
#include "DataSetChart.h"
#include "DataSetCollection.h"
#include "LoggerModel.h"
#include "Regional.h"
#include "TfrmGraph.h"
#include "WorkArea.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

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

QMdiSubWindow* addGraphWindow(QMdiArea* area, TfrmGraph* window, bool fullWidth) {
    const int frame = window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    return addAreaWindow(area, window, window->width() + 2 * frame, fullWidth);
}

TfrmGraph* createDataLoggerWindow(QMdiArea* area, const LoggerModel& model, bool fullWidth) {
    auto* window = new TfrmGraph(model);
    window->becomeDataLoggerWindow();
    addGraphWindow(area, window, fullWidth);
    window->showDataLists();

    window->chart()->setAllowGraphAnnotHotSpots(true);
    const TDateTime now = nowDays();
    window->prepareGraph(model.seriesCount, kNewWindowPoints, now, now + kNewWindowPoints * kOneSecond);
    return window;
}

void restoreOrCreateDataLoggerWindow(QMdiArea* area, const LoggerModel& model, bool fullWidth) {
    TfrmGraph* window = TfrmGraph::dataLoggerWindow();
    if (window) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) sub->showNormal();
    } else {
        window = createDataLoggerWindow(area, model, fullWidth);
    }
    // In front, also of a maximized graph window: the data sets it is about
    // to show must not arrive hidden.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        if (QMdiArea* home = sub->mdiArea()) home->setActiveSubWindow(sub);
        sub->raise();
    }
}

void TfrmGraph::fillDataSetList() {
    const DataSetCollection& collection = dataSetCollection();
    const int count = collection.count();
    // Refilling moves the current row; only the user's moves show a data set.
    const QSignalBlocker quiet(Grid2);
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
    Grid2->setCurrentCell(0, 0);
    Grid2->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, Grid2->columnCount() - 1), true);
    fitDataSetColumns();
}

namespace {
TfrmGraph::CompareDataSets& compareDataSets() {
    static TfrmGraph::CompareDataSets handler;
    return handler;
}
} // namespace

void TfrmGraph::setCompareDataSets(CompareDataSets handler) {
    compareDataSets() = std::move(handler);
}

void TfrmGraph::addCompareAction() {
    Grid2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* compare = new QAction(QStringLiteral("Compare"), Grid2);
    compare->setObjectName(QStringLiteral("Compare1"));
    compare->setEnabled(false);
    Grid2->addAction(compare);
    Grid2->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto selected = [this] {
        std::vector<int> sets;
        for (const QModelIndex& i : Grid2->selectionModel()->selectedRows())
            if (i.row() < dataSetCollection().count()) sets.push_back(i.row());
        std::sort(sets.begin(), sets.end());
        return sets;
    };
    connect(Grid2, &QTableWidget::itemSelectionChanged, compare,
            [compare, selected] { compare->setEnabled(selected().size() >= 2); });
    connect(compare, &QAction::triggered, this, [selected] {
        guarded([&] {
            if (compareDataSets()) compareDataSets()(selected());
        });
    });
}

void TfrmGraph::Grid2Click(int row) {
    const QTableWidgetItem* date = Grid2->item(row, 1);
    if (!date || date->text().isEmpty()) return;
    guarded([this, row] { showDataSetWithList(row, true); });
}

void TfrmGraph::showDataSetWithList(int k, bool placeCursors) {
    showDataSet(k);
    if (k != Grid2->currentRow() && k < Grid2->rowCount()) {
        // The list's current row names the data set shown, also when a
        // command chose it, so the keys move on from there.
        const QSignalBlocker quiet(Grid2);
        Grid2->setCurrentCell(k, 0);
    }
    fillDataList();
    selectDataRow(0);
    if (placeCursors) selectPoint(0);
}

void TfrmGraph::showDataSet(int k) {
    const DataSetCollection& collection = dataSetCollection();
    if (k < 0 || k >= collection.count()) return;
    const DataSet& set = collection.dataSet(k);
    prepareDataSetChart(*PESGraph1, set, collection.slice(k), m_model);
    updateToolAvailability();
    m_dataSet = k;
    refreshStatistics();
    // The data set's own start and rate rather than those guessed from the
    // chart points.
    txtStartTime->setText(dateTimeText(set.startTime));
    txtSamplingRate->setText(minutesSecondsText(set.intervalSeconds));
    txtDataNo->setText(QString::number(set.sampleCount));
    PESGraph1->redraw();
}

} // namespace tq
