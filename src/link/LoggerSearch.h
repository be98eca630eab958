#pragma once

#include "DeviceJob.h"
#include "LoggerModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tq {

// The model a reply to the search command names: its first five bytes, taken
// as text, contain "860" or "862". Empty for a shorter reply or one naming
// neither.
std::optional<LoggerModel> modelFromSearchReply(const QByteArray& reply);

// The search over a list of devices, each with the same handshake: let the
// line settle, open it, settle again, send "M" and look at what came back
// half a second later. The first device whose reply names a model wins and
// stays open. The live link runs it over the port chooser at start-up;
// tq880-cli over the port it is given.
class LoggerSearch : public DeviceJob {
  public:
    static constexpr int kSettleMs = 200;
    static constexpr int kReplyWaitMs = 500;
    static constexpr int kReplyLength = 5;

    enum class Outcome { NotTried, CannotOpen, NoLogger, NotALogger, Found };
    struct Probe {
        QString device;
        Outcome outcome = Outcome::NotTried;
        QString why; // the system's words for a port that cannot be opened
    };

    explicit LoggerSearch(const QStringList& devices);

    // One port's answer in words ("/dev/ttyS0: no answer"), as the program
    // and tq880-cli say it.
    static QString probeText(const Probe& probe);

    // Called as each device is tried (the splash shows it).
    std::function<void(const QString& device)> onProbe;

    PortRole role() const override { return PortRole::Live; }
    bool opensItself() const override { return true; }
    JobStep start(const tq::Outcome& open, qint64 nowMs) override;
    JobStep step(const QByteArray& arrived, qint64 nowMs) override;
    JobStep opened(const tq::Outcome& open, qint64 nowMs) override;

    const QList<Probe>& probes() const { return m_probes; }
    // The device that answered, -1 when none did.
    int foundIndex() const { return m_found; }
    // The model the device that answered named.
    const LoggerModel& model() const { return m_model; }

  private:
    enum class Stage { Settle, Purge, Reply, Over };
    JobStep nextDevice(qint64 nowMs);

    QList<Probe> m_probes;
    int m_index = -1;
    int m_found = -1;
    LoggerModel m_model = kModel860;
    Stage m_stage = Stage::Settle;
    qint64 m_dueMs = 0;
    QByteArray m_reply;
};

} // namespace tq
