#pragma once

#include <functional>

class QDialog;

namespace tq {

// Every modal dialog of the program runs through here (about box, firmware
// version, annotation text, print choice, print and page setup). Tests
// install a runner that answers the dialog it is handed; by default the
// dialog is exec()'d.
using DialogRunner = std::function<int(QDialog&)>;
void setDialogRunner(DialogRunner runner); // empty: back to exec()
int runDialog(QDialog& dialog);

} // namespace tq
