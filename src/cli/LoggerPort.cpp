#include "LoggerPort.h"

#include "FirmwareQuery.h"
#include "LiveFrameQuery.h"
#include "LoggerSearch.h"
#include "PortNames.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace tq::cli {

namespace {
// Ctrl+C and SIGTERM reach the event loop through a pipe: the handler only
// writes a byte, the loop cancels the running job.
int g_signalPipe[2] = {-1, -1};
bool g_interrupted = false;

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

bool catchInterrupts() {
    if (g_signalPipe[0] >= 0) return true;
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    return true;
}

// Runs one job on a session under the event loop until it is over. The loop
// is the command line's only one: nothing else is running when it starts.
JobOutcome runOn(DeviceSession& session, std::unique_ptr<DeviceJob> job,
                 const std::function<void(DeviceJob&)>& take) {
    JobOutcome outcome;
    bool over = false;
    std::unique_ptr<QSocketNotifier> interrupts;
    if (catchInterrupts()) {
        interrupts = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(interrupts.get(), &QSocketNotifier::activated, [&session, &interrupts] {
            char byte = 0;
            while (::read(g_signalPipe[0], &byte, 1) > 0) {
            }
            g_interrupted = true;
            interrupts->setEnabled(false);
            session.shutdown();
        });
    }
    if (g_interrupted) session.shutdown();
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

int LoggerPort::watch() {
    std::unique_ptr<QSocketNotifier> stop;
    if (catchInterrupts()) {
        stop = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(stop.get(), &QSocketNotifier::activated, [&stop] {
            char byte = 0;
            while (::read(g_signalPipe[0], &byte, 1) > 0) {
            }
            stop->setEnabled(false);
            QCoreApplication::exit(0);
        });
    }
    return QCoreApplication::exec();
}

bool LoggerPort::interrupted() {
    return g_interrupted;
}

bool LoggerPort::takeInterrupt() {
    return std::exchange(g_interrupted, false);
}

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
    // Stopped, not unanswered: the caller says so.
    if (g_interrupted) return false;
    switch (probe.outcome) {
    case LoggerSearch::Outcome::CannotOpen:
        m_io.err << "cannot open " << m_path << ": " << probe.why << Qt::endl;
        return false;
    case LoggerSearch::Outcome::Found:
        return true;
    case LoggerSearch::Outcome::NotALogger:
        m_io.err << LoggerSearch::probeText(probe) << Qt::endl;
        return false;
    default:
        m_io.err << "no logger answers on " << m_path << Qt::endl;
        return false;
    }
}

bool LoggerPort::readLiveFrame() {
    bool seen = false;
    run(std::make_unique<LiveFrameQuery>(m_model), [&](DeviceJob& job) {
        const auto& live = static_cast<LiveFrameQuery&>(job);
        seen = live.seen();
        m_recording = live.link().recording;
        m_fahrenheit = !live.link().unitCelsius;
    });
    if (!seen && !g_interrupted)
        m_io.err << "the logger on " << m_path << " sent no live reading" << Qt::endl;
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

std::optional<LoggerModel> probePort(const QString& path) {
    DeviceSession session;
    std::optional<LoggerModel> model;
    runOn(session, std::make_unique<LoggerSearch>(QStringList{deviceNameFor(path)}), [&](DeviceJob& job) {
        const auto& search = static_cast<LoggerSearch&>(job);
        if (search.foundIndex() >= 0) model = search.model();
    });
    return model;
}

} // namespace tq::cli
