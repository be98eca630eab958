// Filling a graph window: chart preparation, overall statistics, data list.

#include "TfrmGraph.h"

#include "Chart.h"
#include "DataListModel.h"
#include "DataListView.h"
#include "GraphStatistics.h"
#include "PrepareGraph.h"
#include "Regional.h"

#include <QLineEdit>
#include <QScopedValueRollback>

namespace tq {

void TfrmGraph::prepareGraph(int n, int p, double xMin, double xMax) {
    prepareChart(*PESGraph1, n, p, xMin, xMax, m_model);
    updateToolAvailability();
}

void TfrmGraph::setOverallTexts(const OverallTexts& t) {
    txtStartTime->setText(t.startTime);
    txtSamplingRate->setText(t.samplingRate);
    txtDataNo->setText(t.dataNo);
    txtT1Max->setText(t.max);
    txtT1Min->setText(t.min);
    txtT1Avg->setText(t.avg);
}

void TfrmGraph::refreshStatistics() {
    const Chart& c = *PESGraph1;
    const OverallStatistics s = overallStatistics(
        c.points(), [&c](int i) { return c.x(0, i); }, [&c](int i) { return c.y(0, i); });
    setOverallTexts(overallTexts(s));
}

void TfrmGraph::fillDataList() {
    m_dataList->refill();
    fitDataListColumns();
    // The list starts at the first point, which a following selectPoint(0)
    // marks: the keyboard then moves on from there.
    if (m_dataList->readings() > 0) {
        const QScopedValueRollback<bool> quiet(m_selectingRow, true);
        Grid3->setCurrentReading(0, false);
    }
}

} // namespace tq
