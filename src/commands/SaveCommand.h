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
class TextPoints;
class TfrmGraph;
class TfrmRealTime;

// File > Save and the DataLogger window's close prompt. Every save that
// fails says what failed; nothing reports success that did not happen.
class SaveCommand {
  public:
    explicit SaveCommand(CommandContext context) : m_context(std::move(context)) {}

    // Reports once a save is over: true when a file was written. A text
    // file is written on a worker thread after the call returns; every
    // other outcome is reported before it returns.
    using Done = std::function<void(bool written)>;

    // The active graph window: the DataLogger window asks collection or
    // single data set, any other saves its graph.
    void run(const Done& done = {});
    void run(TfrmGraph& window, const Done& done = {});
    // The Real Time Graph's trend, as any graph; once written, closing it
    // asks nothing.
    void run(TfrmRealTime& window, const Done& done = {});

    // Copies the working copy to a chosen .880; the unsaved-download mark is
    // cleared only when the file was written. True when it was.
    bool saveCollection();
    // .ghf, .txt or .csv by the chosen name's extension; the CSV with ISO
    // times when its entry was chosen, in the unit given (asked when none).
    void saveGraph(const Chart& chart, std::optional<TemperatureUnit> unit = std::nullopt,
                   const Done& done = {});
    // The range window, then the lines with a progress window. Cancel there
    // leaves any previous file as it was.
    void saveText(const Chart& chart, const QString& fileName, QChar separator, const Done& done = {});
    void saveIsoCsv(const Chart& chart, const QString& fileName, std::optional<TemperatureUnit> unit,
                    const Done& done = {});

    // The DataLogger window asks this before it closes with an unsaved
    // download: Yes saves (and the window stays when nothing was written;
    // a text file being written closes it once written), No closes, Cancel
    // stays. True lets the window close now.
    bool closeQuery(TfrmGraph& window);

    // Before the program ends, a collection is opened or a new download
    // starts over an unsaved download: "Save DataLogger Data ?" Yes saves
    // the collection and goes on only when it was written, No goes on,
    // Cancel stops. True to go on.
    bool mayReplaceDownload();

  private:
    using TextWrite = std::function<void(const TextPoints&, qint64 first, qint64 last, Progress&)>;
    // The range window, then write(points, first, last, progress) on a worker with a progress window.
    void saveRange(const Chart& chart, const TextWrite& write, const Done& done);
    static void report(const Done& done, bool written);

    CommandContext m_context;
};

} // namespace tq
