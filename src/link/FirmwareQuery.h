#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace tq {

class TComPort;

// The version text in a reply to "V": bytes 1 to 9 of a reply of exactly 11
// bytes. Empty for a reply of any other length.
std::optional<QString> firmwareFromReply(const QByteArray& reply);

// Asks the logger for its firmware version over a port opened for polling
// (no receive handler): the wake byte, "V", and what waits a second later.
class FirmwareQuery {
  public:
    using Pause = std::function<void(int ms)>;

    static constexpr int kWakeMs = 200;
    static constexpr int kReplyWaitMs = 1000;
    static constexpr int kReplyLength = 11;
    // The most of a reply that is looked at; the rest is read and dropped.
    static constexpr int kReplyBuffer = 16;

    FirmwareQuery(TComPort& port, Pause pause);

    // Port errors raise through the port.
    std::optional<QString> run();

  private:
    TComPort& m_port;
    Pause m_pause;
};

} // namespace tq
