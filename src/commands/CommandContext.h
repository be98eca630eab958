#pragma once

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
    std::function<int()> modelCode = [] { return 860; };
    // Asked before a command replaces an unsaved download: true to go on.
    std::function<bool()> mayReplaceDownload = [] { return true; };
};

} // namespace tq
