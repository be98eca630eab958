#include "DialogRunner.h"

#include <QDialog>

namespace tq {

namespace {
DialogRunner& runnerSlot() {
    static DialogRunner runner;
    return runner;
}
} // namespace

void setDialogRunner(DialogRunner runner) {
    runnerSlot() = std::move(runner);
}

int runDialog(QDialog& dialog) {
    return runnerSlot() ? runnerSlot()(dialog) : dialog.exec();
}

} // namespace tq
