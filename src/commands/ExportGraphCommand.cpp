#include "ExportGraphCommand.h"

#include "Chart.h"
#include "ChartExport.h"
#include "CommandGuard.h"
#include "DialogRunner.h"
#include "FileAccess.h"
#include "FileDialogs.h"
#include "FileFilters.h"
#include "Messages.h"
#include "PrintCommands.h"
#include "TfrmExportGraph.h"
#include "TfrmGraph.h"

#include <QMdiArea>

namespace tq {

bool ExportGraphCommand::run() {
    TfrmGraph* window = graphWindowToPrint(m_context.area);
    return window ? run(*window) : false;
}

bool ExportGraphCommand::run(TfrmGraph& window) {
    Chart& chart = *window.chart();
    QSize size;
    {
        // The picture starts at the size the chart has on the screen.
        const QSize shown = chart.isVisible() ? chart.size() : chartexport::kDefaultSize;
        TfrmExportGraph ask(shown, m_context.area ? m_context.area->window() : nullptr);
        if (runDialog(ask) != QDialog::Accepted) return false;
        size = ask.chosenSize();
    }
    m_context.dialogs->prepareSave(filters::pictures(), QStringLiteral("PNG"));
    const QString name = m_context.dialogs->runSave();
    if (name.isEmpty()) return false;
    chartexport::Format format = chartexport::Format::Png;
    if (!chartexport::formatOf(name, format)) {
        Messages::error(QStringLiteral("%1 was not written: a picture is saved as .png, .svg or .pdf.")
                            .arg(shownName(name)));
        return false;
    }
    return reported(chartexport::write(chart, name, format, size));
}

} // namespace tq
