#include "LoggerPort.h"

#include "FirmwareQuery.h"
#include "FrameCutter.h"
#include "LcdState.h"
#include "LiveDecoder.h"
#include "LoggerLink.h"
#include "LoggerSearch.h"
#include "PortNames.h"
#include "Protocol.h"

#include <QCoreApplication>

namespace tq::cli {

namespace {
// A live frame is answered at once; this allows for a slow adapter.
constexpr int kLiveFrameWaitMs = 2000;

// One live request and the first frame that answers it.
class LiveFrameJob : public DeviceJob {
  public:
    explicit LiveFrameJob(int model) {
        m_link.modelCode = model;
        m_link.frameLength = LoggerLink::frameLengthFor(model);
    }
    PortRole role() const override { return PortRole::Live; }
    int openPauseMs() const override { return 200; }
    JobStep start(bool portOpen, const QString& openError, qint64 nowMs) override {
        if (!portOpen) {
            m_outcome = JobOutcome::fail(JobOutcome::Code::CannotOpen, openError);
            return JobStep::finished();
        }
        m_dueMs = nowMs + kLiveFrameWaitMs;
        return JobStep::wakeAt(m_dueMs, protocol::plainCommand(protocol::kLive));
    }
    JobStep step(const QByteArray& arrived, qint64 nowMs) override {
        m_buffer.append(arrived);
        const QList<QByteArray> frames = cutFrames(m_buffer, m_link.frameLength);
        if (!frames.isEmpty()) {
            LcdState lcd;
            decodeLiveFrame(frames.first(), lcd, m_link);
            m_seen = true;
            return JobStep::finished();
        }
        if (m_buffer.size() > 4096) m_buffer.clear();
        if (nowMs < m_dueMs) return JobStep::wakeAt(m_dueMs);
        m_outcome = JobOutcome::fail(JobOutcome::Code::NoAnswer, QStringLiteral("no live reading"));
        return JobStep::finished();
    }
    bool seen() const { return m_seen; }
    const LoggerLink& link() const { return m_link; }

  private:
    LoggerLink m_link;
    QByteArray m_buffer;
    qint64 m_dueMs = 0;
    bool m_seen = false;
};

// Runs one job on a session under the event loop until it is over. The loop
// is the command line's only one: nothing else is running when it starts.
JobOutcome runOn(DeviceSession& session, std::unique_ptr<DeviceJob> job,
                 const std::function<void(DeviceJob&)>& take) {
    JobOutcome outcome;
    bool over = false;
    session.queue(std::move(job), [&](DeviceJob& done) {
        outcome = done.outcome();
        if (take) take(done);
        over = true;
        QCoreApplication::exit(0);
    });
    if (!over) QCoreApplication::exec();
    return outcome;
}
} // namespace

LoggerPort::LoggerPort(const QString& path, Io& io) : m_path(path), m_io(io) {
    m_session.setDevice(deviceNameFor(path));
}

JobOutcome LoggerPort::run(std::unique_ptr<DeviceJob> job, const std::function<void(DeviceJob&)>& take) {
    const JobOutcome outcome = runOn(m_session, std::move(job), take);
    if (outcome.code == JobOutcome::Code::CannotOpen)
        m_io.err << "cannot open " << m_path << ": " << outcome.text << Qt::endl;
    else if (outcome.code == JobOutcome::Code::DeviceRemoved)
        m_io.err << "the port " << m_path << " failed: " << outcome.text << Qt::endl;
    return outcome;
}

bool LoggerPort::identify() {
    LoggerSearch::Probe probe;
    runOn(m_session, std::make_unique<LoggerSearch>(QStringList{deviceNameFor(m_path)}), [&](DeviceJob& job) {
        const auto& search = static_cast<LoggerSearch&>(job);
        probe = search.probes().value(0);
        m_model = search.model();
    });
    switch (probe.outcome) {
    case LoggerSearch::Outcome::CannotOpen:
        m_io.err << "cannot open " << m_path << ": " << probe.why << Qt::endl;
        return false;
    case LoggerSearch::Outcome::Found:
        return true;
    default:
        m_io.err << "no logger answers on " << m_path << Qt::endl;
        return false;
    }
}

bool LoggerPort::readLiveFrame() {
    bool seen = false;
    run(std::make_unique<LiveFrameJob>(m_model), [&](DeviceJob& job) {
        const auto& live = static_cast<LiveFrameJob&>(job);
        seen = live.seen();
        m_recording = live.link().recording;
        m_fahrenheit = !live.link().unitCelsius;
    });
    if (!seen) m_io.err << "the logger on " << m_path << " sent no live reading" << Qt::endl;
    return seen;
}

int LoggerPort::readyForCommand() {
    if (!identify() || !readLiveFrame()) return CannotRead;
    if (m_recording) {
        m_io.err << "the logger is recording; stop the recording first" << Qt::endl;
        return Recording;
    }
    return Ok;
}

std::optional<QString> LoggerPort::firmware() {
    std::optional<QString> version;
    run(std::make_unique<FirmwareQuery>(),
        [&](DeviceJob& job) { version = static_cast<FirmwareQuery&>(job).version(); });
    return version;
}

std::optional<int> probePort(const QString& path) {
    DeviceSession session;
    std::optional<int> model;
    runOn(session, std::make_unique<LoggerSearch>(QStringList{deviceNameFor(path)}), [&](DeviceJob& job) {
        const auto& search = static_cast<LoggerSearch&>(job);
        if (search.foundIndex() >= 0) model = search.model();
    });
    return model;
}

} // namespace tq::cli
