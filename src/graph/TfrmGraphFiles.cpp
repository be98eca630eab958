// A graph window after a file was loaded into its chart.

#include "TfrmGraph.h"

#include "Chart.h"

#include <QLabel>
#include <QTableWidget>

namespace tq {

void TfrmGraph::selectDataRow(int row) {
    if (row < 0 || row >= Grid3->rowCount()) return;
    Grid3->clearSelection();
    Grid3->setRangeSelected(QTableWidgetSelectionRange(row, 0, row, Grid3->columnCount() - 1), true);
}

void TfrmGraph::showLoadedFile() {
    refreshStatistics();
    PESGraph1->reinitAndReset();
    updateToolAvailability();
    fillDataList();
    selectDataRow(0);
    selectPoint(0);
    pnlDataSets->show();
    StaticText1->hide();
    pnlDataList->show();
    Grid2->hide();
}

} // namespace tq
