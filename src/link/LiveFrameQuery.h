#pragma once

#include "DeviceJob.h"
#include "LoggerLink.h"

namespace tq {

// One live request and the first frame that answers it, for the recording
// mark and the unit the logger shows (tq880-cli, and the setup dialog's
// check of the unit it set).
class LiveFrameQuery : public DeviceJob {
  public:
    static constexpr int kOpenPauseMs = 200;
    // A live frame is answered at once; this allows for a slow adapter.
    static constexpr int kReplyWaitMs = 2000;

    explicit LiveFrameQuery(const LoggerModel& model);

    PortRole role() const override { return PortRole::Live; }
    int openPauseMs() const override { return kOpenPauseMs; }
    JobStep start(const Outcome& open, qint64 nowMs) override;
    JobStep step(const QByteArray& arrived, qint64 nowMs) override;

    // A frame came; link() then holds its unit and recording mark.
    bool seen() const { return m_seen; }
    const LoggerLink& link() const { return m_link; }

  private:
    LoggerLink m_link;
    QByteArray m_buffer;
    qint64 m_dueMs = 0;
    bool m_seen = false;
};

} // namespace tq
