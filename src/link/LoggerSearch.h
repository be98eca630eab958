#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace tq {

class TComPort;

// The model a reply to the search command names: its first five bytes, taken
// as text, contain "860" or "862". Empty for a shorter reply or one naming
// neither.
std::optional<int> modelFromSearchReply(const QByteArray& reply);

// The search handshake on one port: open it, let it settle, send "M" and
// look at what came back half a second later. The live link runs it over
// every listed port at start-up; tq880-cli over the port it is given.
class LoggerSearch {
  public:
    // A pause in the handshake; the live link's throws once the program is
    // ending, which ends the search.
    using Pause = std::function<void(int ms)>;

    static constexpr int kSettleMs = 200;
    static constexpr int kReplyWaitMs = 500;
    static constexpr int kReplyLength = 5;

    enum class Outcome { CannotOpen, NoLogger, Found };

    LoggerSearch(TComPort& port, Pause pause);

    // Probes the port under its current device name. On Found the port stays
    // open; otherwise it is closed again. Port failures are outcomes here,
    // not errors; only the pause may throw.
    Outcome probe();
    // The model of the last Found probe.
    int model() const { return m_model; }
    // The system's words for the last failed open.
    QString openError() const { return m_openError; }

  private:
    TComPort& m_port;
    Pause m_pause;
    int m_model = 0;
    QString m_openError;
};

} // namespace tq
