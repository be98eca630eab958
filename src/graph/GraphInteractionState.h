#pragma once

namespace tq {

// What a click on a chart does.
enum class ToolMode { Normal, Cross, Text };

// Interaction state shared by every graph window of the program.
struct GraphInteractionState {
    ToolMode toolMode = ToolMode::Normal;
    // Index of the last graph annotation placed; 0 ... 3 are never used for
    // the user's crosses and texts, so the first one takes 4.
    int annotationCounter = 3;
};

GraphInteractionState& graphInteraction();

} // namespace tq
