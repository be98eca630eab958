#pragma once

#include "BlockTransfer.h"
#include "DeviceJob.h"
#include "DownloadResult.h"
#include "LoggerModel.h"
#include "MemoryImage.h"

#include <functional>
#include <memory>

namespace tq {

// The memory download as a job of the device session, on the download
// port's lines (DTR off, RTS on): the request, then the block protocol
// until the logger falls silent. What arrived stays in the image on every
// path, so a failure can still keep the data sets that came whole.
class DownloadJob : public DeviceJob {
  public:
    // The live port is closed, 200 ms pass, the download port takes its
    // device, and 300 ms later it opens.
    static constexpr int kOpenPauseMs = 500;
    static constexpr int kResumeMs = 300;

    explicit DownloadJob(const LoggerModel& model);

    // Called with the bytes received after every block, and with the total
    // once the directory is in.
    std::function<void(qint64 received, qint64 total)> onProgress;

    PortRole role() const override { return PortRole::Download; }
    int openPauseMs() const override { return kOpenPauseMs; }
    int resumeBeforeOpenMs() const override { return kResumeMs; }
    JobStep start(const Outcome& open, qint64 nowMs) override;
    JobStep step(const QByteArray& arrived, qint64 nowMs) override;

    // Ok when everything the directory announced arrived; ReadError when
    // less came (also after a port failure or a cancel: see outcome()).
    DownloadResult result() const;
    MemoryImage& image() { return m_image; }
    const MemoryImage& image() const { return m_image; }
    qint64 received() const { return m_transfer.received(); }
    qint64 total() const { return m_transfer.total(); }
    int dataSetCount() const { return m_transfer.dataSetCount(); }
    int retries() const { return m_transfer.retries(); }

  private:
    MemoryImage m_image;
    BlockTransfer m_transfer;
};

} // namespace tq
