#include "DownloadSession.h"

#include "BlockTransfer.h"
#include "LoggerLog.h"
#include "LoggerModel.h"
#include "Progress.h"
#include "Protocol.h"
#include "TComPort.h"
#include "TransferLoop.h"

#include <QScopeGuard>

namespace tq {

DownloadSession::DownloadSession(TComPort& port, int modelCode) : m_port(port), m_modelCode(modelCode) {}

void DownloadSession::configurePort(TComPort& port) {
    port.setDtrControl(TComPort::DtrControl::Disable);
    port.setRtsControl(TComPort::RtsControl::Enable);
}

DownloadResult DownloadSession::downloadMemory(MemoryImage& image, Progress& progress) {
    m_received = m_total = 0;
    m_dataSetCount = m_retries = 0;
    m_cancelled = false;

    configurePort(m_port);
    if (!m_port.active()) {
        m_port.setOnRxChar({});
        m_port.open();
    }
    // Whatever an earlier exchange left waiting would pass for block 0.
    m_port.purgeInput();
    BlockTransfer transfer(BlockTransfer::Mode::Memory, loggerModel(m_modelCode).fillByte, image);
    const auto keep = [&] {
        m_received = transfer.received();
        m_total = transfer.total();
        m_dataSetCount = transfer.dataSetCount();
        m_retries = transfer.retries();
    };
    // Also when a port error ends the transfer.
    const auto sync = qScopeGuard(keep);

    m_port.write(protocol::plainCommand(protocol::kDownload));
    progress.setMaximum(0);
    progress.setValue(0);
    runBlockTransfer(m_port, transfer, kPollSliceMs,
                     [&](const BlockTransfer::Answer& answer, bool sliceOver) {
                         if (answer.totalLearned) {
                             qCDebug(lcLogger) << "directory:" << transfer.dataSetCount() << "data sets,"
                                               << transfer.total() << "bytes";
                             progress.setMaximum(transfer.total());
                         }
                         if (!answer.blockHandled && !sliceOver) return true;
                         progress.setValue(transfer.received());
                         m_cancelled = progress.cancelled();
                         return !m_cancelled;
                     });
    keep();
    qCDebug(lcLogger) << "download ended:" << m_received << "of" << m_total << "bytes," << m_retries
                      << "retries" << (m_cancelled ? "(cancelled)" : "");
    return !m_cancelled && transfer.complete() ? DownloadResult::Ok : DownloadResult::ReadError;
}

} // namespace tq
