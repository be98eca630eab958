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
    // The model the live link last found (its 860 before any answered).
    std::function<LoggerModel()> loggerModel = [] { return kModel860; };
    LoggerModel model() const { return loggerModel(); }
    // Asked before a command replaces an unsaved download: true to go on.
    std::function<bool()> mayReplaceDownload = [] { return true; };
};

} // namespace tq
