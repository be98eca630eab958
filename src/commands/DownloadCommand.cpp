#include "DownloadCommand.h"

#include "CollectionFile.h"
#include "CommandGuard.h"
#include "DataLoggerWindow.h"
#include "DataSetCollection.h"
#include "DeviceSession.h"
#include "DialogRunner.h"
#include "DownloadJob.h"
#include "LiveLink.h"
#include "LoggerChecks.h"
#include "MemoryDecoder.h"
#include "Messages.h"
#include "ProgramArchive.h"
#include "TfrmErr.h"
#include "TfrmGraph.h"
#include "TfrmScope.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QScopeGuard>
#include <memory>

namespace tq {

namespace {
const QString kRecording =
    QStringLiteral("The Logger is recording data, please stop recording before loading data.");
const QString kNoData = QStringLiteral("There is not any recorded data in memory!");

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
    window.lblTimeLeft->setText(QString());
    window.lblTimeLeft->show();
    window.startProgress(TfrmScope::Display::Bytes, true, 0);
}

// "about 2 h 38 min left": the rest at the pace so far.
QString timeLeftText(qint64 received, qint64 total, qint64 elapsedMs) {
    if (total <= 0 || received <= 0 || elapsedMs < 1000 || received >= total) return QString();
    const qint64 seconds =
        qint64(double(total - received) * double(elapsedMs) / double(received) / 1000.0) + 1;
    if (seconds < 60) return QStringLiteral("about %1 s left").arg(seconds);
    const qint64 minutes = (seconds + 59) / 60;
    if (minutes < 60) return QStringLiteral("about %1 min left").arg(minutes);
    return QStringLiteral("about %1 h %2 min left").arg(minutes / 60).arg(minutes % 60);
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

DownloadCommand::DownloadCommand(CommandContext context, LiveLink& live)
    : m_context(std::move(context)), m_live(live) {}

DownloadCommand::~DownloadCommand() {
    if (m_job) m_live.session().cancel(m_job);
}

QWidget* DownloadCommand::mainWindow() const {
    return m_context.area ? m_context.area->window() : nullptr;
}

void DownloadCommand::run() {
    const LoggerLink& link = m_live.link();
    // Another command has the device: this one does not start.
    if (m_running || m_live.lent()) return;
    if (!loggerchecks::connected(link) || !loggerchecks::notRecording(link, kRecording)) return;
    if (!m_context.mayReplaceDownload()) return;
    restoreOrCreateDataLoggerWindow(m_context.area, link.model(), false);

    m_running = true;
    m_dialog = std::make_unique<TfrmErr>(mainWindow());
    m_live.session().hold();
    startPass();
}

void DownloadCommand::startPass() {
    m_window = std::make_unique<TfrmScope>(mainWindow());
    openProgressWindow(*m_window);
    auto job = std::make_unique<DownloadJob>(m_live.link().model());
    TfrmScope* window = m_window.get();
    auto clock = std::make_shared<QElapsedTimer>();
    job->onProgress = [window, clock](qint64 received, qint64 total) {
        if (!clock->isValid()) clock->start();
        if (total > 0) window->setMaximum(total);
        window->setValue(received);
        window->lblTimeLeft->setText(timeLeftText(received, total, clock->elapsed()));
    };
    // Cancel ends the transfer at once and replaces nothing.
    connect(window, &TfrmScope::cancelRequested, this, [this] {
        if (m_job) m_live.session().cancel(m_job);
    });
    m_job = m_live.session().queue(std::move(job), [this](DeviceJob& done) {
        m_job = nullptr;
        auto& job = static_cast<DownloadJob&>(done);
        Transfer transfer;
        transfer.image = std::move(job.image());
        transfer.total = job.total();
        transfer.received = job.received();
        transfer.dataSetCount = job.dataSetCount();
        transfer.result = job.result();
        transfer.outcome = job.outcome();
        // Not inside the session's own handler: the questions come once it has returned.
        QMetaObject::invokeMethod(
            this, [this, t = std::move(transfer)]() mutable { guarded([&] { passOver(std::move(t)); }); },
            Qt::QueuedConnection);
    });
}

void DownloadCommand::passOver(Transfer transfer) {
    m_window.reset();
    // Every way out gives the device back, a failed working copy included.
    bool again = false;
    const auto over = qScopeGuard([&] {
        if (!again) end();
    });
    const JobOutcome::Code code = transfer.outcome.code;
    if (code == JobOutcome::Code::Cancelled || m_live.ended()) return;
    if (code == JobOutcome::Code::DeviceRemoved || code == JobOutcome::Code::CannotOpen) {
        Messages::error(portLostText(transfer.received, transfer.total));
        return;
    }
    DownloadResult result = transfer.result;
    if (result == DownloadResult::Ok) {
        const Result<DownloadResult> decoded = decodeAndShow(transfer);
        // A working copy that cannot be written ends the command; what was shown before stays.
        if (!reported(decoded.outcome())) return;
        result = *decoded;
    }
    if (result == DownloadResult::Ok) return;
    if (result == DownloadResult::NoData) {
        Messages::info(kNoData);
        return;
    }
    m_dialog->showResult(result);
    const int choice = runDialog(*m_dialog);
    if (m_live.ended()) return;
    if (choice == TfrmErr::mrRetry) {
        again = true;
        startPass();
        return;
    }
    if (choice == TfrmErr::mrOk && result == DownloadResult::DataError) keepIntactDataSets(transfer);
}

void DownloadCommand::end() {
    m_window.reset();
    m_dialog.reset();
    if (!m_running) return;
    m_running = false;
    m_live.session().release(DownloadJob::kResumeMs, 0);
    emit finished();
}

Result<DownloadResult> DownloadCommand::decodeAndShow(const Transfer& transfer) {
    DataSetCollection decoded;
    const DownloadResult result =
        decodeMemoryImage(transfer.image.reader(), transfer.total, transfer.dataSetCount, decoded);
    if (result == DownloadResult::Ok) {
        programarchive::keep(transfer.image.reader(), decoded, m_live.link().model(),
                             QStringLiteral("download"));
        if (const Outcome adopted = adopt(decoded, transfer.image); !adopted.ok()) return adopted;
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
    if (!reported(adopt(decoded, transfer.image))) return;
    Messages::info(keptText(intact + 1, transfer.dataSetCount));
}

Outcome DownloadCommand::adopt(DataSetCollection& decoded, const MemoryImage& image) {
    // A folder that cannot be made ends the command with its path; what was
    // shown before stays.
    if (const Outcome written = collection::writeWorkingCopyAhead(image.data(), image.size()); !written.ok())
        return written;
    DataSetCollection& sets = dataSetCollection();
    sets = std::move(decoded);
    sets.setDownloadUnsaved(true);
    // The user may have closed the window while the transfer ran.
    restoreOrCreateDataLoggerWindow(m_context.area, m_live.link().model(), false);
    if (TfrmGraph* window = TfrmGraph::dataLoggerWindow()) {
        window->fillDataSetList();
        window->showDataSetWithList(0, true);
    }
    return Outcome::success();
}

} // namespace tq
