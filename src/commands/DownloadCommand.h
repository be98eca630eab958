#pragma once

#include "CommandContext.h"
#include "DownloadResult.h"
#include "MemoryImage.h"
#include "PortLease.h"

class QWidget;

namespace tq {

class DataSetCollection;
class LiveLink;

// Download (the btnDataLogger tool button and the "&DataLogger" item):
// pulls the logger's whole memory over the download port, decodes it and
// shows data set 1 in the DataLogger window. A broken transfer ends in the
// error dialog with "Try Again"; a data error can keep the data sets that
// lie wholly inside the memory received. Until a download succeeds the
// data sets, the DataLogger window and the working copy stay as they were,
// and the live link is given back after every outcome.
class DownloadCommand {
  public:
    // The pauses around reopening the live port after the download.
    static constexpr PortLease::Resume kResume{300, 0, 0};

    DownloadCommand(CommandContext context, LiveLink& live) : m_context(std::move(context)), m_live(live) {}

    void run();

  private:
    // What one pass brought in, kept for the error dialog's choice.
    struct Transfer {
        MemoryImage image;
        qint64 total = 0;
        qint64 received = 0;
        int dataSetCount = 0;
        bool portLost = false; // the device failed or vanished under the transfer
    };

    // The download-and-decode pass: Ok once the data sets are shown.
    DownloadResult downloadAndDecode(PortLease& lease, Transfer& transfer);
    // "Fixed the error ": the data sets before the faulty one, if any.
    void keepIntactDataSets(const Transfer& transfer);
    // The working copy written first; only then are the decoded data sets
    // shown in place of the old ones, marked unsaved.
    void adopt(DataSetCollection& decoded, const MemoryImage& image);
    QWidget* mainWindow() const;

    CommandContext m_context;
    LiveLink& m_live;
};

} // namespace tq
