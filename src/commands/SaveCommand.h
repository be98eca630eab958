#pragma once

#include "CommandContext.h"
#include "RunStatistics.h"

#include <QChar>
#include <QString>

#include <functional>
#include <optional>

namespace tq {

class Chart;
class Progress;
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
    // .ghf, .txt or .csv by the chosen name's extension; the CSV with ISO
    // times when its entry was chosen, in the unit given (asked when none).
    bool saveGraph(const Chart& chart, std::optional<TemperatureUnit> unit = std::nullopt);
    // The range window, then the lines with a progress window.
    bool saveText(const Chart& chart, const QString& fileName, QChar separator);
    bool saveIsoCsv(const Chart& chart, const QString& fileName, std::optional<TemperatureUnit> unit);

    // The DataLogger window asks this before it closes with an unsaved
    // download: Yes saves (and the window stays when nothing was written),
    // No closes, Cancel stays. True lets the window close.
    bool closeQuery(TfrmGraph& window);

    // Before the program ends, a collection is opened or a new download
    // starts over an unsaved download: "Save DataLogger Data ?" Yes saves
    // the collection and goes on only when it was written, No goes on,
    // Cancel stops. True to go on.
    bool mayReplaceDownload();

  private:
    // The range window, then write(first, last, progress) with a progress window.
    bool saveRange(const Chart& chart, const std::function<void(qint64, qint64, Progress&)>& write);

    CommandContext m_context;
};

} // namespace tq
