#pragma once

#include "CommandContext.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tq {

class TfrmGraph;

// File > Open: the choice between a collection file and a single data set
// file, the file dialog, and the opening itself; also the files named on
// the command line.
class OpenCommand {
  public:
    explicit OpenCommand(CommandContext context) : m_context(std::move(context)) {}

    void run();
    // The collection choice: the DataLogger window restored or created, then
    // the dialog and the file.
    void openCollection();
    void openSingleFile();

    // Opens a .880 into the DataLogger window. Every refusal says which file
    // and why; the data sets held before and the working copy then stay.
    // True when its data sets are shown.
    bool openCollectionFile(const QString& fileName);
    // Opens a .ghf, .txt or .csv into a new graph window captioned with the
    // file name (any other extension leaves that window empty). A file that
    // cannot be read, or holds no readings, is named in a message and leaves
    // no window (nullptr). Done when it returns; no progress window.
    TfrmGraph* openSingleFile(const QString& fileName);
    // The same for the user: a .txt or .csv is read on a worker thread behind
    // the "Open Progress" window, and the graph window is made when the read
    // is complete; Cancel leaves no window and no message. done gets the
    // window, or nullptr, once it is over (at once for any other extension).
    void startOpenSingleFile(const QString& fileName, const std::function<void(TfrmGraph*)>& done = {});

    // Files named on the command line, in order, each by its extension. A
    // missing or unreadable one is named in a message and the rest still open.
    void openFiles(const QStringList& fileNames);

  private:
    CommandContext m_context;
};

} // namespace tq
