#include "DownloadCommand.h"

#include "CollectionFile.h"
#include "CommandGuard.h"
#include "DataLoggerWindow.h"
#include "DataSetCollection.h"
#include "DialogRunner.h"
#include "DownloadSession.h"
#include "LiveLink.h"
#include "LoggerChecks.h"
#include "MemoryDecoder.h"
#include "Messages.h"
#include "ProgramArchive.h"
#include "TfrmErr.h"
#include "TfrmGraph.h"
#include "TfrmScope.h"

#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>

namespace tq {

namespace {
const QString kRecording =
    QStringLiteral("The Logger is recording data, please stop recording before loading data.");
const QString kNoData = QStringLiteral("There is not any recorded data in memory!");

// The progress window's view of the transfer, which also ends it when the
// program is ending (the window has no Cancel button of its own).
class DownloadProgress : public Progress {
  public:
    DownloadProgress(TfrmScope& window, const LiveLink& live) : m_window(window), m_live(live) {}
    void setMaximum(qint64 maximum) override { m_window.setMaximum(maximum); }
    void setValue(qint64 value) override { m_window.setValue(value); }
    bool cancelled() const override { return m_live.ended() || m_window.cancelled(); }
    void keepAlive() override { m_window.keepAlive(); }

  private:
    TfrmScope& m_window;
    const LiveLink& m_live;
};

void openProgressWindow(TfrmScope& window) {
    window.setWindowTitle(QStringLiteral("Data Retriving Progress"));
    window.SText1->setText(QStringLiteral("bytes received"));
    window.SText2->setText(QStringLiteral("total bytes"));
    window.lblBytesReceived->setText(QStringLiteral("0"));
    window.lblTotalBytes->setText(QStringLiteral("0"));
    window.Progress1->setRange(0, 0);
    window.Progress1->setValue(0);
    for (QWidget* w : std::initializer_list<QWidget*>{window.Progress1, window.SText1, window.SText2,
                                                      window.lblBytesReceived, window.lblTotalBytes})
        w->show();
    window.startProgress(TfrmScope::Display::Bytes, false, 0);
}

QString portLostText(qint64 received, qint64 total) {
    const QString arrived = total > 0 ? QStringLiteral("%1 of %2 bytes had arrived").arg(received).arg(total)
                                      : QStringLiteral("%1 bytes had arrived").arg(received);
    return QStringLiteral("The logger stopped answering or was disconnected during the download (%1). "
                          "Nothing was replaced: the data sets shown before stay.")
        .arg(arrived);
}

QString keptText(int faulty, int count) {
    const int kept = faulty - 1;
    const QString shown = kept == 1 ? QStringLiteral("the data set before it is shown")
                                    : QStringLiteral("the %1 data sets before it are shown").arg(kept);
    return QStringLiteral("Data set %1 of %2 ends beyond the memory received, so it and those after it were "
                          "left out; %3. Save them to keep them.")
        .arg(faulty)
        .arg(count)
        .arg(shown);
}
} // namespace

QWidget* DownloadCommand::mainWindow() const {
    return m_context.area ? m_context.area->window() : nullptr;
}

void DownloadCommand::run() {
    const LoggerLink& link = m_live.link();
    // Another command has the device (a download lets events run, so its
    // button can be pressed again): this one does not start.
    if (m_live.lent()) return;
    if (!loggerchecks::connected(link) || !loggerchecks::notRecording(link, kRecording)) return;
    if (!m_context.mayReplaceDownload()) return;
    restoreOrCreateDataLoggerWindow(m_context.area, link.modelCode, false);

    TfrmErr dialog(mainWindow());
    PortLease lease(m_live, kResume);
    Transfer transfer;
    for (;;) {
        const DownloadResult result = downloadAndDecode(lease, transfer);
        if (m_live.ended() || result == DownloadResult::Ok) return;
        if (transfer.portLost) {
            Messages::error(portLostText(transfer.received, transfer.total));
            return;
        }
        if (result == DownloadResult::NoData) {
            Messages::info(kNoData);
            return;
        }
        dialog.showResult(result);
        const int choice = runDialog(dialog);
        if (m_live.ended()) return;
        if (choice == TfrmErr::mrRetry) continue;
        if (choice == TfrmErr::mrOk && result == DownloadResult::DataError) keepIntactDataSets(transfer);
        return;
    }
}

DownloadResult DownloadCommand::downloadAndDecode(PortLease& lease, Transfer& transfer) {
    transfer = {};
    TComPort& port = lease.openDownloadPort();
    DownloadSession session(port, m_live.link().modelCode);
    DownloadResult result;
    {
        TfrmScope window(mainWindow());
        openProgressWindow(window);
        if (QWidget* main = mainWindow()) main->repaint();
        DownloadProgress progress(window, m_live);
        try {
            result = session.downloadMemory(transfer.image, progress);
        } catch (const SilentAbort&) {
            // The port failed under the transfer: the device went away.
            transfer.portLost = true;
            result = DownloadResult::ReadError;
        }
    }
    transfer.received = session.received();
    transfer.total = session.total();
    transfer.dataSetCount = session.dataSetCount();
    if (result != DownloadResult::Ok) return result;

    DataSetCollection decoded;
    result = decodeMemoryImage(transfer.image.reader(), transfer.total, transfer.dataSetCount, decoded);
    if (result == DownloadResult::Ok) {
        programarchive::keep(transfer.image.reader(), decoded, m_live.link().modelCode,
                             QStringLiteral("download"));
        adopt(decoded, transfer.image);
    }
    return result;
}

void DownloadCommand::keepIntactDataSets(const Transfer& transfer) {
    const ByteReader image = transfer.image.reader();
    const int intact = intactDataSets(image, transfer.total, transfer.dataSetCount);
    if (intact == 0) {
        Messages::warning(QStringLiteral("Data set 1 ends beyond the memory received, so no data set is "
                                         "intact: nothing was kept, and the data sets shown before stay."));
        return;
    }
    DataSetCollection decoded;
    if (decodeMemoryImage(image, transfer.total, intact, decoded) != DownloadResult::Ok) return;
    // The copy holds the memory as it came, faulty data set and all, so a
    // save loses nothing the logger sent.
    adopt(decoded, transfer.image);
    Messages::info(keptText(intact + 1, transfer.dataSetCount));
}

void DownloadCommand::adopt(DataSetCollection& decoded, const MemoryImage& image) {
    // A folder that cannot be made ends the command with its path; what was
    // shown before stays.
    collection::writeWorkingCopyAhead(image.data(), image.size());
    DataSetCollection& sets = dataSetCollection();
    sets = std::move(decoded);
    sets.setDownloadUnsaved(true);
    // The user may have closed the window while the transfer ran.
    restoreOrCreateDataLoggerWindow(m_context.area, m_live.link().modelCode, false);
    if (TfrmGraph* window = TfrmGraph::dataLoggerWindow()) {
        window->fillDataSetList();
        window->showDataSetWithList(0, true);
    }
}

} // namespace tq
