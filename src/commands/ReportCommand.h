#pragma once

#include "CommandContext.h"

namespace tq {

class TfrmGraph;

// File > Report...: the recording report of a graph window's run as a PDF,
// after asking for limits and contents, then for the file. Every failure
// says what failed.
class ReportCommand {
  public:
    explicit ReportCommand(CommandContext context) : m_context(std::move(context)) {}

    // The graph window Print would take; nothing without one. True when a
    // report was written.
    bool run();
    bool run(TfrmGraph& window);

  private:
    CommandContext m_context;
};

} // namespace tq
