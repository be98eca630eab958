#pragma once

#include "Outcome.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <utility>

namespace tq {

// What a port is opened for. Each role has its own modem lines (lineFor).
enum class PortRole {
    Live,     // the live link and the search: DTR on, RTS off
    Download, // the memory download: DTR off, RTS on
    Setup     // the setup dialog's exchanges: DTR off, RTS on
};

struct ModemLines {
    bool dtr = false;
    bool rts = false;
};

// The one table of modem lines per role.
constexpr ModemLines linesFor(PortRole role) {
    return role == PortRole::Live ? ModemLines{true, false} : ModemLines{false, true};
}

// How a job ended, in the user's words when it failed.
using JobOutcome = Outcome;

// What a job answers after each step.
struct JobStep {
    QByteArray send;      // written to the port now (nothing when empty)
    qint64 wakeAtMs = -1; // when to be stepped again without new bytes; -1: only on bytes
    bool done = false;    // the job is over (its outcome says how)

    static JobStep wakeAt(qint64 ms, QByteArray bytes = {}) { return {std::move(bytes), ms, false}; }
    static JobStep finished() { return {{}, -1, true}; }
};

// One exchange with the logger as a step machine with no I/O of its own:
// the device session opens the port with the role's lines, then feeds the
// job the bytes that arrived and the time, and does what it answers. Tests
// drive a job with a made-up clock.
class DeviceJob {
  public:
    virtual ~DeviceJob() = default;

    virtual PortRole role() const = 0;
    // The pause between the port being closed for this job and opened again.
    virtual int openPauseMs() const { return 0; }
    // The pauses before the live link takes the port back after this job.
    virtual int resumeBeforeOpenMs() const { return 0; }
    virtual int resumeAfterOpenMs() const { return 0; }
    // A job that opens and closes devices itself (the search) gets the port
    // closed and sees no opening by the session.
    virtual bool opensItself() const { return false; }

    // The port has been opened for the job, or could not be (open says why).
    virtual JobStep start(const Outcome& open, qint64 nowMs) = 0;
    // arrived: what came since the last step (empty when woken by time).
    virtual JobStep step(const QByteArray& arrived, qint64 nowMs) = 0;
    // The port failed under the job (a write failed, the device vanished).
    virtual void portFailed(const QString& why) {
        m_outcome = JobOutcome::fail(JobOutcome::Code::DeviceRemoved, why);
    }
    // The user or the program's end stops the job; it is over at once.
    virtual void cancel() { m_outcome = JobOutcome::fail(JobOutcome::Code::Cancelled, QString()); }

    const JobOutcome& outcome() const { return m_outcome; }

    // For jobs that open devices themselves: what the session does for them.
    struct PortRequest {
        enum class Kind { None, Open, Close } kind = Kind::None;
        QString device;
    };
    PortRequest takePortRequest() { return std::exchange(m_portRequest, {}); }
    // The answer to the last Open request.
    virtual JobStep opened(const Outcome& open, qint64 nowMs) {
        Q_UNUSED(open);
        return step({}, nowMs);
    }

  protected:
    void requestOpen(const QString& device) { m_portRequest = {PortRequest::Kind::Open, device}; }
    void requestClose() { m_portRequest = {PortRequest::Kind::Close, {}}; }
    JobOutcome m_outcome;

  private:
    PortRequest m_portRequest;
};

} // namespace tq
