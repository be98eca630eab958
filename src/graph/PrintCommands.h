#pragma once

class QMdiArea;
class QPrinter;
class QWidget;

namespace tq {

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
// Throws UserError when the printer cannot start the job.
void printCommand(QMdiArea* area);

// Printer setup: the page setup dialog on the shared printer (the print
// dialog where there is no system printer).
void printerSetupCommand(QWidget* parent);

} // namespace tq
