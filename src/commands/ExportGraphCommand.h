#pragma once

#include "CommandContext.h"

namespace tq {

class TfrmGraph;

// File > Export Graph...: the chart of a graph window as a PNG, SVG or PDF
// picture of a chosen size. Every failure says what failed.
class ExportGraphCommand {
  public:
    explicit ExportGraphCommand(CommandContext context) : m_context(std::move(context)) {}

    // The graph window Print would take; nothing without one. True when a
    // picture was written.
    bool run();
    bool run(TfrmGraph& window);

  private:
    CommandContext m_context;
};

} // namespace tq
