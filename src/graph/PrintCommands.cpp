#include "PrintCommands.h"

#include "Chart.h"
#include "CommandGuard.h"
#include "DataListPrinter.h"
#include "DataListView.h"
#include "DialogRunner.h"
#include "TfrmCompare.h"
#include "TfrmGraph.h"
#include "TfrmPrintOption.h"

#include "TfrmRealTime.h"
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageSetupDialog>

#include <QPrintDialog>
#include <QPrinter>

namespace tq {

QPrinter& sharedPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

TfrmGraph* graphWindowToPrint(QMdiArea* area) {
    if (!area) return nullptr;
    if (QMdiSubWindow* active = area->activeSubWindow())
        if (auto* graph = qobject_cast<TfrmGraph*>(active->widget())) return graph;
    // The history lists the most recently active window last.
    const QList<QMdiSubWindow*> history = area->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.crbegin(); it != history.crend(); ++it)
        if (auto* graph = qobject_cast<TfrmGraph*>((*it)->widget())) return graph;
    return nullptr;
}

void printChartInColour(Chart& chart, QWidget* parent) {
    QPrinter& printer = sharedPrinter();
    QPrintDialog dialog(&printer, parent);
    if (runDialog(dialog) != QDialog::Accepted) return;
    chart.setPrintStyle(Chart::PrintStyle::Color);
    chart.printTo(&printer);
}

void printCommand(QMdiArea* area) {
    // An active compare window or Real Time Graph prints its chart.
    if (QMdiSubWindow* active = area->activeSubWindow()) {
        if (auto* compare = qobject_cast<TfrmCompare*>(active->widget())) {
            compare->print();
            return;
        }
        if (auto* trend = qobject_cast<TfrmRealTime*>(active->widget())) {
            printChartInColour(*trend->chart(), area->window());
            return;
        }
    }
    TfrmGraph* window = graphWindowToPrint(area);
    if (!window) return;
    window->chart()->setPrintStyle(Chart::PrintStyle::Mono);
    int choice = 0;
    {
        TfrmPrintOption option(area->window());
        choice = runDialog(option);
    }
    if (choice != TfrmPrintOption::PrintGraph && choice != TfrmPrintOption::PrintText) return;
    QPrinter& printer = sharedPrinter();
    QPrintDialog dialog(&printer, area->window());
    if (runDialog(dialog) != QDialog::Accepted) return;
    if (choice == TfrmPrintOption::PrintGraph) {
        window->chart()->printTo(&printer);
        return;
    }
    const auto* list = window->findChild<DataListView*>(QStringLiteral("Grid3"));
    if (!list || !list->list() || !printDataList(printer, *list->list()))
        throw UserError(QStringLiteral("The printer could not start the print job."));
}

void printerSetupCommand(QWidget* parent) {
    QPrinter& printer = sharedPrinter();
    // The page setup dialog only serves system printers; without one (no
    // print system, or printing to a file) the print dialog sets up the page.
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        QPageSetupDialog dialog(&printer, parent);
        runDialog(dialog);
    } else {
        QPrintDialog dialog(&printer, parent);
        dialog.setWindowTitle(QStringLiteral("Printer Setup"));
        runDialog(dialog);
    }
}

} // namespace tq
