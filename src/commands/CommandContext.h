#pragma once

#include "LoggerModel.h"

#include <functional>

class QMdiArea;

namespace tq {

class FileDialogs;

// What the file commands need of the main window: its child window area,
// its file dialogs and the model of the logger last found (862 graphs have
// two series).
struct CommandContext {
    QMdiArea* area = nullptr;
    FileDialogs* dialogs = nullptr;
    // Given by the main window as the live link's code, which only ever
    // names a model the link found (or its 860 before any answered).
    std::function<int()> modelCode = [] { return kModel860.code; };
    const LoggerModel& model() const { return loggerModel(modelCode()); }
    // Asked before a command replaces an unsaved download: true to go on.
    std::function<bool()> mayReplaceDownload = [] { return true; };
};

} // namespace tq
