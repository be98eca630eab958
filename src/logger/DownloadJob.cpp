#include "DownloadJob.h"

#include "LoggerLog.h"
#include "LoggerModel.h"
#include "Protocol.h"

namespace tq {

DownloadJob::DownloadJob(const LoggerModel& model)
    : m_transfer(BlockTransfer::Mode::Memory, model.fillByte, m_image) {}

JobStep DownloadJob::start(const Outcome& open, qint64 nowMs) {
    if (!open.ok()) {
        m_outcome = open;
        return JobStep::finished();
    }
    m_transfer.start(nowMs);
    if (onProgress) onProgress(0, 0);
    return JobStep::wakeAt(m_transfer.nextDeadlineMs(), protocol::plainCommand(protocol::kDownload));
}

JobStep DownloadJob::step(const QByteArray& arrived, qint64 nowMs) {
    const BlockTransfer::Answer answer = m_transfer.step(arrived, nowMs);
    if (answer.totalLearned)
        qCDebug(lcLogger) << "directory:" << dataSetCount() << "data sets," << total() << "bytes";
    if (answer.blockHandled && onProgress) onProgress(received(), total());
    if (m_transfer.done()) {
        qCDebug(lcLogger) << "download ended:" << received() << "of" << total() << "bytes," << retries()
                          << "retries";
        return {answer.send, -1, true};
    }
    return JobStep::wakeAt(m_transfer.nextDeadlineMs(), answer.send);
}

DownloadResult DownloadJob::result() const {
    return outcome().ok() && m_transfer.complete() ? DownloadResult::Ok : DownloadResult::ReadError;
}

} // namespace tq
