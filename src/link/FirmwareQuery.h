#pragma once

#include "DeviceJob.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace tq {

// The version text in a reply to "V": bytes 1 to 9 of a reply of exactly 11
// bytes. Empty for a reply of any other length.
std::optional<QString> firmwareFromReply(const QByteArray& reply);

// Asks the logger for its firmware version on the live port's lines: the
// wake byte, "V" 200 ms later, and whatever came a second after that.
class FirmwareQuery : public DeviceJob {
  public:
    static constexpr int kOpenPauseMs = 200;
    static constexpr int kWakeMs = 200;
    static constexpr int kReplyWaitMs = 1000;
    static constexpr int kReplyLength = 11;

    PortRole role() const override { return PortRole::Live; }
    int openPauseMs() const override { return kOpenPauseMs; }
    int resumeBeforeOpenMs() const override { return 200; }
    int resumeAfterOpenMs() const override { return 500; }
    JobStep start(const Outcome& open, qint64 nowMs) override;
    JobStep step(const QByteArray& arrived, qint64 nowMs) override;

    // The version, when the reply had the right length.
    std::optional<QString> version() const { return m_version; }

  private:
    enum class Stage { Wake, Reply, Over };
    Stage m_stage = Stage::Wake;
    qint64 m_dueMs = 0;
    QByteArray m_reply;
    qint64 m_replyLength = 0;
    std::optional<QString> m_version;
};

} // namespace tq
