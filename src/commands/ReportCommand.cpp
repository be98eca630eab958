#include "ReportCommand.h"

#include "Chart.h"
#include "CommandGuard.h"
#include "DialogRunner.h"
#include "FileDialogs.h"
#include "FileFilters.h"
#include "GraphRun.h"
#include "Messages.h"
#include "PrintCommands.h"
#include "Regional.h"
#include "TfrmGraph.h"
#include "TfrmReport.h"

#include <QMdiArea>

namespace tq {

bool ReportCommand::run() {
    TfrmGraph* window = graphWindowToPrint(m_context.area);
    return window ? run(*window) : false;
}

bool ReportCommand::run(TfrmGraph& window) {
    report::Run run = graphRun(window);
    if (run.times.empty()) {
        Messages::error(QStringLiteral("The graph holds no samples: there is nothing to report."));
        return false;
    }
    report::Options options;
    {
        TfrmReport ask(run.unitRecorded, run.unit, m_context.area ? m_context.area->window() : nullptr);
        if (runDialog(ask) != QDialog::Accepted) return false;
        if (!reported(ask.readChoices(options, run.unit))) return false;
    }
    options.locale = QLocale();
    options.createdText = QStringLiteral("made ") + dateTimeText(nowDays());
    m_context.dialogs->prepareSave(filters::report(), QStringLiteral("PDF"));
    const QString name = m_context.dialogs->runSave();
    if (name.isEmpty()) return false;
    // A copy, so the window's own chart keeps its cursors and no bands.
    Chart chart;
    if (options.graph) {
        QString error;
        if (!chart.loadState(window.chart()->storeState(), &error)) {
            Messages::error(error);
            return false;
        }
        chart.setOutOfRangeLimitY(window.chart()->outOfRangeLimitY());
        report::prepareChart(chart, options.limits);
    }
    return reported(report::write(name, run, options, options.graph ? &chart : nullptr).outcome());
}

} // namespace tq
