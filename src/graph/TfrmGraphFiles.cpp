// A graph window after a file was loaded into its chart.

#include "TfrmGraph.h"

#include "Chart.h"

#include <QLabel>
#include <QTableWidget>

namespace tq {

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
