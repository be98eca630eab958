#pragma once

#include "CommandContext.h"
#include "DeviceJob.h"
#include "DownloadResult.h"
#include "MemoryImage.h"

#include <QObject>
#include <memory>

class QWidget;

namespace tq {

class DataSetCollection;
class DeviceJob;
class LiveLink;
class TfrmErr;
class TfrmScope;

// Download (the btnDataLogger tool button and the "&DataLogger" item):
// pulls the logger's whole memory as a job of the device session, decodes
// it and shows data set 1 in the DataLogger window. A broken transfer ends
// in the error dialog with "Try Again"; a data error can keep the data sets
// that lie wholly inside the memory received. Until a download succeeds the
// data sets, the DataLogger window and the working copy stay as they were.
// The command holds the device from the first pass to the last, so the
// live link resumes once, after every outcome.
class DownloadCommand : public QObject {
    Q_OBJECT
  public:
    DownloadCommand(CommandContext context, LiveLink& live);
    ~DownloadCommand() override;

    // Starts the command; it goes on as the transfer's events come.
    void run();
    bool running() const { return m_running; }

  signals:
    void finished();

  private:
    // What one pass brought in, kept for the error dialog's choice.
    struct Transfer {
        MemoryImage image;
        qint64 total = 0;
        qint64 received = 0;
        int dataSetCount = 0;
        DownloadResult result = DownloadResult::ReadError;
        JobOutcome outcome; // how the job ended: a port that failed or vanished, the program's end
    };

    void startPass();
    void passOver(Transfer transfer);
    // Decodes a complete transfer; Ok once the data sets are shown, a failure
    // when the working copy could not be written.
    Result<DownloadResult> decodeAndShow(const Transfer& transfer);
    // "Fixed the error ": the data sets before the faulty one, if any.
    void keepIntactDataSets(const Transfer& transfer);
    // The working copy written first; only then are the decoded data sets
    // shown in place of the old ones, marked unsaved.
    Outcome adopt(DataSetCollection& decoded, const MemoryImage& image);
    void end();
    QWidget* mainWindow() const;

    CommandContext m_context;
    LiveLink& m_live;
    std::unique_ptr<TfrmScope> m_window;
    std::unique_ptr<TfrmErr> m_dialog;
    DeviceJob* m_job = nullptr;
    bool m_running = false;
};

} // namespace tq
