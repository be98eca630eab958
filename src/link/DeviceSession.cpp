#include "DeviceSession.h"

#include "CommandGuard.h"
#include "LinkLog.h"
#include "PortNames.h"
#include "TComPort.h"

#include <QTimer>

namespace tq {

namespace {
// The most read in one go; more waiting bytes come with the next notice.
constexpr int kMaxReadPerEvent = 4096;
const QString kRemoved = QStringLiteral("The device was removed or stopped working");

// A port step whose failure is an answer, not an exception.
template <typename Step> bool attempt(Step&& step, QString* error = nullptr) {
    try {
        step();
        return true;
    } catch (const EComError& e) {
        if (error) *error = e.message();
    } catch (const SilentAbort&) {
        if (error && error->isEmpty()) *error = kRemoved;
    }
    return false;
}
} // namespace

DeviceSession::DeviceSession(QObject* parent)
    : QObject(parent), m_port(new TComPort(this)), m_timer(new QTimer(this)) {
    m_clock.start();
    m_port->setObjectName(QStringLiteral("Comm1"));
    m_port->setBaudRate(19200);
    // Port errors come back as EComError with the system's words, which the
    // jobs' outcomes carry to the user.
    m_port->setOnRxChar([this] { onBytes(); });
    connect(m_port, &TComPort::deviceLost, this, [this](const QString& why) { onPortLost(why); });
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, [this] { guarded([this] { onTimer(); }); });
}

DeviceSession::~DeviceSession() {
    m_ended = true;
    m_timer->stop();
    m_queue.clear();
    m_currentEntry = {};
    m_current = nullptr;
    closePort();
}

QString DeviceSession::deviceName() const {
    return m_port->deviceName();
}

bool DeviceSession::busy() const {
    return m_holds > 0 || !m_queue.empty() || (m_current && !currentIsIdle());
}

void DeviceSession::noteBusy() {
    const bool now = busy();
    if (now == m_lastBusy) return;
    m_lastBusy = now;
    emit busyChanged(now);
}

void DeviceSession::setDevice(const QString& name) {
    if (m_ended) return;
    if (busy() || (m_current && m_phase != Phase::Running)) {
        m_pendingDevice = name;
        return;
    }
    m_pendingDevice.clear();
    const bool reopen = m_current && m_portOpen;
    closePort();
    attempt([&] { m_port->setDeviceName(name); });
    if (reopen || m_current) m_openError = openPort(m_current->role()).text;
}

void DeviceSession::setBaudRate(int baud, int pauseBeforeOpenMs) {
    // A job that has the device keeps its rate; the next opening takes the new one.
    if (busy()) {
        m_pendingBaud = baud;
        return;
    }
    closePort();
    m_port->setBaudRate(baud);
    reopen(pauseBeforeOpenMs);
}

void DeviceSession::reopen(int pauseBeforeOpenMs) {
    if (m_ended || busy() || !m_current) return;
    closePort();
    // The idle job starts over on the reopened port.
    m_current = nullptr;
    m_phase = Phase::None;
    m_timer->stop();
    m_resumeBeforeMs = pauseBeforeOpenMs;
    m_resumeAfterMs = 0;
    scheduleAdvance();
}

void DeviceSession::pushIdle(DeviceJob* job, int beforeOpenMs, int afterOpenMs) {
    if (m_ended) return;
    // Pushed again (the live link after another search): on top once.
    std::erase(m_idle, job);
    m_idle.push_back(job);
    m_resumeBeforeMs = beforeOpenMs;
    m_resumeAfterMs = afterOpenMs;
    if (currentIsIdle() || (m_current == nullptr)) {
        m_timer->stop();
        m_current = nullptr;
        m_phase = Phase::None;
    }
    scheduleAdvance();
}

void DeviceSession::removeIdle(DeviceJob* job, int beforeOpenMs, int afterOpenMs) {
    std::erase(m_idle, job);
    if (m_current == job) {
        m_timer->stop();
        m_current = nullptr;
        m_phase = Phase::None;
        closePort();
    }
    m_resumeBeforeMs = beforeOpenMs;
    m_resumeAfterMs = afterOpenMs;
    scheduleAdvance();
}

DeviceJob* DeviceSession::queue(std::unique_ptr<DeviceJob> job, Finished finished) {
    DeviceJob* raw = job.get();
    if (m_ended) {
        raw->cancel();
        if (finished) finished(*raw);
        return nullptr;
    }
    m_queue.push_back({std::move(job), std::move(finished)});
    noteBusy();
    scheduleAdvance();
    return raw;
}

void DeviceSession::cancel(DeviceJob* job) {
    if (!job) return;
    if (m_current == job && m_currentEntry.job) {
        // Not under the job's own step (a progress report may ask): it ends
        // once that has returned.
        QMetaObject::invokeMethod(
            this,
            [this, job] {
                if (m_current != job || !m_currentEntry.job) return;
                job->cancel();
                finish();
            },
            Qt::QueuedConnection);
        return;
    }
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
        if (it->job.get() != job) continue;
        Entry entry = std::move(*it);
        m_queue.erase(it);
        entry.job->cancel();
        if (entry.finished) entry.finished(*entry.job);
        noteBusy();
        return;
    }
}

void DeviceSession::hold() {
    ++m_holds;
    noteBusy();
}

void DeviceSession::release(int beforeOpenMs, int afterOpenMs) {
    if (m_holds > 0) --m_holds;
    m_resumeBeforeMs = beforeOpenMs;
    m_resumeAfterMs = afterOpenMs;
    noteBusy();
    scheduleAdvance();
}

void DeviceSession::shutdown() {
    if (m_ended) return;
    m_ended = true;
    m_timer->stop();
    m_pendingDevice.clear();
    std::deque<Entry> waiting = std::move(m_queue);
    m_queue.clear();
    Entry running = std::move(m_currentEntry);
    m_currentEntry = {};
    m_current = nullptr;
    m_phase = Phase::None;
    closePort();
    if (running.job) {
        running.job->cancel();
        if (running.finished) running.finished(*running.job);
    }
    for (Entry& entry : waiting) {
        entry.job->cancel();
        if (entry.finished) entry.finished(*entry.job);
    }
    noteBusy();
}

void DeviceSession::scheduleAdvance() {
    if (m_advanceQueued || m_ended) return;
    m_advanceQueued = true;
    // Never inside the caller's handler: the next job starts once it has returned.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_advanceQueued = false;
            guarded([this] { advance(); });
        },
        Qt::QueuedConnection);
}

void DeviceSession::advance() {
    if (m_ended) return;
    if (m_current) {
        // A queued job or a waiting command stops the idle job at once.
        if (!currentIsIdle() || (m_queue.empty() && m_holds == 0 && m_current == m_idle.back())) return;
        m_timer->stop();
        m_current = nullptr;
        m_phase = Phase::None;
    }
    if (m_pendingBaud > 0) {
        closePort();
        m_port->setBaudRate(std::exchange(m_pendingBaud, 0));
    }
    if (!m_pendingDevice.isEmpty()) {
        closePort();
        attempt([&] { m_port->setDeviceName(m_pendingDevice); });
        m_pendingDevice.clear();
    }
    if (!m_queue.empty()) {
        m_currentEntry = std::move(m_queue.front());
        m_queue.pop_front();
        begin(m_currentEntry.job.get(), true);
        return;
    }
    if (m_holds > 0 || m_idle.empty()) {
        closePort();
        return;
    }
    begin(m_idle.back(), false);
}

void DeviceSession::begin(DeviceJob* job, bool queued) {
    m_current = job;
    closePort();
    const int pause = queued ? job->openPauseMs() : m_resumeBeforeMs;
    qCDebug(lcLink) << "job begins on" << m_port->deviceName() << (queued ? "queued" : "idle") << "after"
                    << pause << "ms";
    m_phase = Phase::Settling;
    m_timer->start(qMax(0, pause));
}

void DeviceSession::openForJob() {
    if (m_current->opensItself()) {
        m_portOpen = false;
        m_openError.clear();
        startJob();
        return;
    }
    m_openError = openPort(m_current->role()).text;
    const int after = currentIsIdle() ? m_resumeAfterMs : 0;
    if (after > 0) {
        m_phase = Phase::Starting;
        m_timer->start(after);
        return;
    }
    startJob();
}

void DeviceSession::startJob() {
    m_phase = Phase::Running;
    // What came while the port settled belongs to nobody.
    if (m_portOpen) attempt([this] { m_port->purgeInput(); });
    apply(m_current->start(
        m_portOpen ? Outcome::success() : Outcome::fail(Outcome::Code::CannotOpen, m_openError), now()));
}

void DeviceSession::apply(JobStep step) {
    DeviceJob* job = m_current;
    if (!job || m_ended) return;
    // A job that opens devices itself (the search) asks for it in a step.
    for (int guard = 0; guard < 4; ++guard) {
        const DeviceJob::PortRequest request = job->takePortRequest();
        if (request.kind == DeviceJob::PortRequest::Kind::None) break;
        if (request.kind == DeviceJob::PortRequest::Kind::Close) {
            closePort();
            continue;
        }
        closePort();
        attempt([&] { m_port->setDeviceName(request.device); });
        step = job->opened(openPort(job->role()), now());
    }
    if (!step.send.isEmpty()) {
        if (m_portOpen && m_port->active()) {
            QString error;
            if (!attempt([&] { m_port->write(step.send); }, &error)) {
                closePort();
                if (!currentIsIdle()) {
                    job->portFailed(error.isEmpty() ? kRemoved : error);
                    finish();
                    return;
                }
            }
        } else if (!currentIsIdle()) {
            job->portFailed(m_openError.isEmpty() ? kRemoved : m_openError);
            finish();
            return;
        }
    }
    if (step.done) {
        if (currentIsIdle()) {
            // An idle job that is over leaves the port to the one below.
            std::erase(m_idle, job);
            m_current = nullptr;
            m_phase = Phase::None;
            scheduleAdvance();
        } else {
            finish();
        }
        return;
    }
    if (step.wakeAtMs >= 0)
        m_timer->start(int(qBound(qint64(0), step.wakeAtMs - now(), qint64(24 * 3600 * 1000))));
    else
        m_timer->stop();
}

void DeviceSession::onBytes() {
    if (!m_port->active()) return;
    QByteArray bytes;
    QString error;
    const bool ok = attempt(
        [&] {
            const int n = qMin(m_port->inputCount(), kMaxReadPerEvent);
            if (n > 0) bytes = m_port->read(n);
        },
        &error);
    if (!ok) {
        onPortLost(error);
        return;
    }
    if (bytes.isEmpty() || !m_current || m_phase != Phase::Running) return;
    apply(m_current->step(bytes, now()));
}

void DeviceSession::onTimer() {
    if (!m_current || m_ended) return;
    switch (m_phase) {
    case Phase::Settling:
        openForJob();
        break;
    case Phase::Starting:
        startJob();
        break;
    case Phase::Running:
        apply(m_current->step({}, now()));
        break;
    case Phase::None:
        break;
    }
}

void DeviceSession::onPortLost(const QString& why) {
    qCDebug(lcLink) << "port lost:" << why;
    closePort();
    if (!m_current || currentIsIdle() || m_phase != Phase::Running) return;
    m_current->portFailed(why.isEmpty() ? kRemoved : why);
    finish();
}

void DeviceSession::finish() {
    m_timer->stop();
    Entry entry = std::move(m_currentEntry);
    m_currentEntry = {};
    m_current = nullptr;
    m_phase = Phase::None;
    if (entry.job) {
        m_resumeBeforeMs = entry.job->resumeBeforeOpenMs();
        m_resumeAfterMs = entry.job->resumeAfterOpenMs();
        if (entry.finished) guarded([&] { entry.finished(*entry.job); });
    }
    noteBusy();
    scheduleAdvance();
}

Outcome DeviceSession::openPort(PortRole role) {
    const ModemLines lines = linesFor(role);
    m_port->setDtrControl(lines.dtr ? TComPort::DtrControl::Enable : TComPort::DtrControl::Disable);
    m_port->setRtsControl(lines.rts ? TComPort::RtsControl::Enable : TComPort::RtsControl::Disable);
    QString why;
    m_portOpen = true;
    try {
        m_port->open();
        m_port->purgeInput();
    } catch (const EComError& e) {
        m_portOpen = false;
        why = portOpenProblem(m_port->deviceName(), e.code(), e.message());
    } catch (const SilentAbort&) {
        m_portOpen = false;
        why = kRemoved;
    }
    if (m_portOpen) return Outcome::success();
    closePort();
    return Outcome::fail(Outcome::Code::CannotOpen, why);
}

void DeviceSession::closePort() {
    m_portOpen = false;
    attempt([this] { m_port->close(); });
}

} // namespace tq
