#include "LoggerSim.h"

#include "PtyNumbers.h"
#include "SimMemory.h"

#include <QDateTime>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace tq::sim {

namespace {

qint64 monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// How long to leave a hung-up master alone before looking at it again.
constexpr qint64 kHangUpPauseNs = 200'000'000;
// Input taken in one go; the rest is read on the next pass.
constexpr qsizetype kMaxReadPerPass = 64 * 1024;
// A sim left running for days keeps the recent commands only.
constexpr qsizetype kMaxLogEntries = 100'000;

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(what, strerror(errno));
}

void setCloseOnExec(int fd) {
    fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC);
}

} // namespace

LoggerSim::LoggerSim(int model) : m_device(model) {}

LoggerSim::~LoggerSim() {
    stop();
}

bool LoggerSim::start(QString* error) {
    std::lock_guard lock(m_mutex);
    if (m_thread.joinable()) return true;
    auto fail = [&](const char* what) {
        if (error) *error = systemError(what);
        closeFds();
        return false;
    };
    if (openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0) return fail("openpty");
    setCloseOnExec(m_master);
    setCloseOnExec(m_slave);

    // A serial line carries bytes untouched: no echo, no signals, no flow
    // control. The program sets its own line settings when it opens the port.
    termios tio{};
    if (tcgetattr(m_slave, &tio) != 0) return fail("tcgetattr");
    cfmakeraw(&tio);
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);
    tio.c_cflag |= CLOCAL | CREAD;
    if (tcsetattr(m_slave, TCSANOW, &tio) != 0) return fail("tcsetattr");
    if (fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0) return fail("fcntl");

    char name[256];
    if (ptsname_r(m_master, name, sizeof name) != 0) return fail("ptsname_r");
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) return fail("eventfd");

    m_path = QString::fromLocal8Bit(name);
    m_parser = CommandParser();
    m_output.clear();
    m_stopping = false;
    m_unplugged = false;
    m_thread = std::thread(&LoggerSim::run, this);
    return true;
}

void LoggerSim::stop() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_thread.joinable()) return;
        m_stopping = true;
        wake();
    }
    m_thread.join();
    std::lock_guard lock(m_mutex);
    closeFds();
    m_path.clear();
}

void LoggerSim::closeLine() {
    // Closing the master hangs up every open slave, as pulling the cable does.
    ::close(m_master);
    holdPtyNumber(m_slave);
    m_master = m_slave = -1;
    m_unplugged = true;
    m_output.clear();
}

void LoggerSim::closeFds() {
    if (m_master >= 0 && m_slave >= 0) {
        ::close(m_master);
        holdPtyNumber(m_slave);
        m_master = m_slave = -1;
    }
    for (int* fd : {&m_master, &m_slave, &m_wakeFd}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

bool LoggerSim::isRunning() const {
    std::lock_guard lock(m_mutex);
    return m_thread.joinable();
}

QString LoggerSim::devicePath() const {
    std::lock_guard lock(m_mutex);
    return m_path;
}

int LoggerSim::model() const {
    return m_device.model();
}

void LoggerSim::wake() {
    const quint64 one = 1;
    // A full counter means a wake-up is pending already.
    [[maybe_unused]] const ssize_t n = m_wakeFd >= 0 ? ::write(m_wakeFd, &one, sizeof one) : 0;
}

void LoggerSim::run() {
    bool hangUpPause = false;
    for (;;) {
        const qint64 now = monotonicNs();
        bool blocked = false;
        std::optional<qint64> due;
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping) return;
            if ((m_unplugged || m_device.unplugRequested()) && m_master >= 0) closeLine();
            blocked = !flushOutput(now);
            due = m_output.nextDueNs();
        }

        pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_master, short(POLLIN | (blocked ? POLLOUT : 0)), 0}};
        const nfds_t count = hangUpPause ? 1 : 2;
        qint64 waitNs = -1;
        if (!blocked && due) waitNs = std::max<qint64>(0, *due - now);
        if (hangUpPause) waitNs = waitNs < 0 ? kHangUpPauseNs : std::min(waitNs, kHangUpPauseNs);
        timespec ts{time_t(waitNs / 1'000'000'000), long(waitNs % 1'000'000'000)};
        const int n = ppoll(fds, count, waitNs < 0 ? nullptr : &ts, nullptr);
        if (n < 0 && errno != EINTR) return;
        if (n <= 0) {
            hangUpPause = false;
            continue;
        }
        if (fds[0].revents & POLLIN) {
            quint64 value;
            while (::read(m_wakeFd, &value, sizeof value) > 0) {
            }
        }
        if (count == 2) {
            bool gotInput = false;
            if (fds[1].revents & POLLIN) gotInput = serveInput();
            // A master without any open slave reports hang-up on every poll;
            // pause instead of spinning on it.
            hangUpPause = !gotInput && (fds[1].revents & (POLLHUP | POLLERR));
        } else {
            hangUpPause = false;
        }
    }
}

bool LoggerSim::serveInput() {
    QByteArray data;
    char buf[4096];
    while (data.size() < kMaxReadPerPass) {
        const ssize_t r = ::read(m_master, buf, sizeof buf);
        if (r > 0)
            data.append(buf, r);
        else if (r < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    if (data.isEmpty()) return false;

    std::lock_guard lock(m_mutex);
    const qint64 now = monotonicNs();
    // The PC's bytes come in at once. On a paced line the logger has a
    // command only once all of its bytes would have crossed the wire, and
    // the first byte of its reply reaches the PC one byte time after it
    // starts (the queue hands each byte over as it starts).
    qint64 lineNs = m_pacing ? OutputQueue::kByteNs : 0;
    for (const Command& command : m_parser.feed(data, now / 1'000'000)) {
        if (m_pacing) lineNs += command.raw.size() * OutputQueue::kByteNs;
        if (m_log.size() >= kMaxLogEntries) m_log.remove(0, kMaxLogEntries / 2);
        m_log.append(command.raw);
        if (command.letter == 'A') ++m_liveRequests;
        if (m_silent) continue;
        const QByteArray reply = m_device.handle(command, QDateTime::currentDateTime());
        if (!reply.isEmpty())
            m_output.push(m_garbage + reply, now + lineNs + qint64(m_replyDelayMs) * 1'000'000);
    }
    return true;
}

bool LoggerSim::flushOutput(qint64 nowNs) {
    if (m_master < 0) {
        m_output.clear();
        return true;
    }
    for (;;) {
        const QByteArray bytes = m_output.ready(nowNs);
        if (bytes.isEmpty()) return true;
        const ssize_t n = ::write(m_master, bytes.constData(), size_t(bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
        if (n < 0) {
            // The line is gone; what was meant for it is lost.
            m_output.clear();
            return true;
        }
        m_output.consumed(n, nowNs);
        if (n < bytes.size()) return false;
    }
}

void LoggerSim::setDataSets(const QVector<SimDataSet>& sets) {
    std::lock_guard lock(m_mutex);
    m_device.setMemory(memory::build(m_device.model(), sets));
}

void LoggerSim::setMemoryImage(const QByteArray& image) {
    std::lock_guard lock(m_mutex);
    m_device.setMemory(image);
}

QByteArray LoggerSim::memoryImage() const {
    std::lock_guard lock(m_mutex);
    return m_device.memory();
}

void LoggerSim::clearMemory() {
    std::lock_guard lock(m_mutex);
    m_device.erase();
}

QVector<SimDataSet> LoggerSim::demoDataSets(int count, int samplesEach) {
    return memory::demo(count, samplesEach, QDateTime::currentDateTime());
}

QVector<SimDataSet> LoggerSim::dataSetsFilling(qint64 memoryBytes) {
    return memory::filling(memoryBytes, QDateTime::currentDateTime());
}

void LoggerSim::setLiveState(const LiveState& state) {
    std::lock_guard lock(m_mutex);
    m_device.setLiveState(state);
}

LiveState LoggerSim::liveState() const {
    std::lock_guard lock(m_mutex);
    return m_device.liveState();
}

void LoggerSim::setLiveDrift(bool on) {
    std::lock_guard lock(m_mutex);
    m_device.setLiveDrift(on);
}

void LoggerSim::setRecording(bool on) {
    std::lock_guard lock(m_mutex);
    m_device.setRecording(on, QDateTime::currentDateTime());
}

void LoggerSim::setFirmwareText(const QByteArray& text) {
    std::lock_guard lock(m_mutex);
    m_device.setFirmwareText(text);
}

void LoggerSim::setSearchReply(const QByteArray& reply) {
    std::lock_guard lock(m_mutex);
    m_device.setSearchReply(reply);
}

bool LoggerSim::unitFahrenheit() const {
    std::lock_guard lock(m_mutex);
    return m_device.fahrenheit();
}

int LoggerSim::intervalSeconds() const {
    std::lock_guard lock(m_mutex);
    return m_device.intervalSeconds();
}

void LoggerSim::setIntervalSeconds(int seconds) {
    std::lock_guard lock(m_mutex);
    m_device.setIntervalSeconds(seconds);
}

qint64 LoggerSim::clockOffsetSeconds() const {
    std::lock_guard lock(m_mutex);
    return m_device.clockOffsetSeconds();
}

void LoggerSim::setClockOffsetSeconds(qint64 seconds) {
    std::lock_guard lock(m_mutex);
    m_device.setClockOffsetSeconds(seconds);
}

QDateTime LoggerSim::loggerClock() const {
    std::lock_guard lock(m_mutex);
    return m_device.clock(QDateTime::currentDateTime());
}

void LoggerSim::setSilent(bool on) {
    {
        std::lock_guard lock(m_mutex);
        m_silent = on;
        if (on) m_output.clear();
        wake();
    }
}

void LoggerSim::setBadChecksumBlock(int block, int times) {
    std::lock_guard lock(m_mutex);
    m_device.setBadChecksumBlock(block, times);
}

void LoggerSim::setTruncatedBlock(int block, int times) {
    std::lock_guard lock(m_mutex);
    m_device.setTruncatedBlock(block, times);
}

void LoggerSim::setSilentAfterBlock(int block) {
    std::lock_guard lock(m_mutex);
    m_device.setSilentAfterBlock(block);
}

void LoggerSim::setUnplugAfterBlock(int block) {
    std::lock_guard lock(m_mutex);
    m_device.setUnplugAfterBlock(block);
}

void LoggerSim::unplug() {
    std::lock_guard lock(m_mutex);
    m_unplugged = true;
    wake();
}

bool LoggerSim::unplugged() const {
    std::lock_guard lock(m_mutex);
    return m_unplugged && m_master < 0;
}

void LoggerSim::setEraseRefused(bool on) {
    std::lock_guard lock(m_mutex);
    m_device.setEraseRefused(on);
}

void LoggerSim::setClockReply(const QByteArray& reply) {
    std::lock_guard lock(m_mutex);
    m_device.setClockReply(reply);
}

void LoggerSim::setGarbageBefore(const QByteArray& bytes) {
    std::lock_guard lock(m_mutex);
    m_garbage = bytes;
}

void LoggerSim::setPacing(bool on) {
    {
        std::lock_guard lock(m_mutex);
        m_output.setPacing(on);
        m_pacing = on;
        wake();
    }
}

void LoggerSim::setReplyDelayMs(int ms) {
    std::lock_guard lock(m_mutex);
    m_replyDelayMs = std::max(0, ms);
}

QVector<QByteArray> LoggerSim::receivedCommands() const {
    std::lock_guard lock(m_mutex);
    return m_log;
}

int LoggerSim::liveRequests() const {
    std::lock_guard lock(m_mutex);
    return m_liveRequests;
}

void LoggerSim::clearLog() {
    std::lock_guard lock(m_mutex);
    m_log.clear();
    m_liveRequests = 0;
}

} // namespace tq::sim
