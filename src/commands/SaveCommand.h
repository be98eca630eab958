#pragma once

#include "CommandContext.h"

#include <QChar>
#include <QString>

namespace tq {

class Chart;
class TfrmGraph;

// File > Save and the DataLogger window's close prompt. Every save that
// fails says what failed; nothing reports success that did not happen.
class SaveCommand {
  public:
    explicit SaveCommand(CommandContext context) : m_context(std::move(context)) {}

    // The active graph window: the DataLogger window asks collection or
    // single data set, any other saves its graph. True when a file was
    // written.
    bool run();
    bool run(TfrmGraph& window);

    // Copies the working copy to a chosen .880; the unsaved-download mark is
    // cleared only when the file was written.
    bool saveCollection();
    // .ghf, .txt or .csv by the chosen name's extension.
    bool saveGraph(const Chart& chart);
    // The range window, then the lines with a progress window.
    bool saveText(const Chart& chart, const QString& fileName, QChar separator);

    // The DataLogger window asks this before it closes with an unsaved
    // download: Yes saves (and the window stays when nothing was written),
    // No closes, Cancel stays. True lets the window close.
    bool closeQuery(TfrmGraph& window);

  private:
    CommandContext m_context;
};

} // namespace tq
