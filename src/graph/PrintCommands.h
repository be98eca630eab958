#pragma once

class QMdiArea;
class QPrinter;
class QWidget;

namespace tq {

class Chart;
class TfrmGraph;

// The one printer of the program: chosen by the printer setup and used by
// both kinds of printing.
QPrinter& sharedPrinter();

// The graph window a print command prints: the active sub window when it
// holds a graph window, else the most recently active graph window; none
// when there is no graph window.
TfrmGraph* graphWindowToPrint(QMdiArea* area);

// Print: asks graph or text ("Print Option"), then prints the chart in mono
// or the data list after the print dialog. Nothing without a graph window.
// An active compare window or Real Time Graph prints its chart in colour.
// Throws UserError when the printer cannot start the job.
void printCommand(QMdiArea* area);

// A chart in colour on the shared printer, after the print dialog (the
// compare window and the Real Time Graph, which have no data list).
void printChartInColour(Chart& chart, QWidget* parent);

// Printer setup: the page setup dialog on the shared printer (the print
// dialog where there is no system printer).
void printerSetupCommand(QWidget* parent);

} // namespace tq
