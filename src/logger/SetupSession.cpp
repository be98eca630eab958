#include "SetupSession.h"

#include "LoggerLog.h"
#include "MemoryLayout.h"
#include "Protocol.h"
#include "SetupReplies.h"

namespace tq {

namespace setup {

QByteArray setClockCommand(const QDateTime& t) {
    const QDate d = t.date();
    const QTime h = t.time();
    QByteArray params;
    for (int v : {d.year() % 100, d.month(), d.day(), h.hour(), h.minute(), h.second()})
        params.append(char(v));
    return protocol::plainCommand(protocol::kSetClock, params);
}

QByteArray setUnitCommand(bool fahrenheit) {
    return protocol::plainCommand(protocol::kSetUnit, QByteArray(1, fahrenheit ? char(1) : char(0)));
}

QByteArray setIntervalCommand(int index) {
    QByteArray params;
    params.append(char(index)).append(char(0));
    return protocol::plainCommand(protocol::kSetInterval, params);
}

QByteArray eraseCommand() {
    return protocol::plainCommand(protocol::kErase, QByteArray(1, kEraseParameter));
}

} // namespace setup

namespace {
// The reply waits of the setup exchanges keep at most this much.
void keep(QByteArray& reply, const QByteArray& arrived) {
    reply.append(arrived.left(setup::kMaxReply - int(reply.size())));
}
} // namespace

JobStep SetupStartJob::start(const Outcome& open, qint64 nowMs) {
    if (!open.ok()) {
        m_outcome = open;
        return JobStep::finished();
    }
    m_transfer.start(nowMs);
    return JobStep::wakeAt(m_transfer.nextDeadlineMs(), protocol::plainCommand(protocol::kReadDirectory));
}

JobStep SetupStartJob::step(const QByteArray& arrived, qint64 nowMs) {
    if (!m_directoryDone) {
        const BlockTransfer::Answer answer = m_transfer.step(arrived, nowMs);
        if (!m_transfer.done()) return JobStep::wakeAt(m_transfer.nextDeadlineMs(), answer.send);
        qCDebug(lcLogger) << "directory read:" << m_transfer.received() << "bytes," << m_transfer.retries()
                          << "retries";
        m_directoryDone = true;
        m_dueMs = nowMs + setup::kReplyLimitMs;
        return JobStep::wakeAt(m_dueMs, answer.send + protocol::plainCommand(protocol::kReadInterval));
    }
    keep(m_reply, arrived);
    // All four bytes are awaited: looking at the reply after three would
    // miss a fourth still on the line.
    if (m_reply.size() < setup::kIntervalReply && nowMs < m_dueMs) return JobStep::wakeAt(m_dueMs);
    m_intervalSeconds = intervalSecondsFromReply(m_reply);
    if (directory().isEmpty())
        m_outcome = JobOutcome::fail(JobOutcome::Code::NoAnswer,
                                     QStringLiteral("the memory directory could not be read"));
    return JobStep::finished();
}

QByteArray SetupStartJob::directory() const {
    if (m_transfer.received() != memory::kDirectorySize) return {};
    return QByteArray(reinterpret_cast<const char*>(m_block.data()), int(m_block.size()));
}

SetupCommandJob::SetupCommandJob(QByteArray command, int replyLength, int limitMs, int pauseAfterSendMs)
    : m_command(std::move(command)), m_replyLength(replyLength), m_limitMs(limitMs),
      m_pauseAfterSendMs(pauseAfterSendMs) {}

JobStep SetupCommandJob::start(const Outcome& open, qint64 nowMs) {
    if (!open.ok()) {
        m_outcome = open;
        return JobStep::finished();
    }
    m_waiting = m_pauseAfterSendMs == 0;
    m_dueMs = nowMs + (m_waiting ? m_limitMs : m_pauseAfterSendMs);
    return JobStep::wakeAt(m_dueMs, m_command);
}

JobStep SetupCommandJob::step(const QByteArray& arrived, qint64 nowMs) {
    keep(m_reply, arrived);
    if (!m_waiting) {
        if (nowMs < m_dueMs) return JobStep::wakeAt(m_dueMs);
        // The reply's time limit starts after the pause.
        m_waiting = true;
        m_dueMs = nowMs + m_limitMs;
    }
    if (m_reply.size() < m_replyLength && nowMs < m_dueMs) return JobStep::wakeAt(m_dueMs);
    if (m_reply.size() < m_replyLength)
        m_outcome = JobOutcome::fail(JobOutcome::Code::NoAnswer, QStringLiteral("the logger did not answer"));
    return JobStep::finished();
}

std::unique_ptr<SetupCommandJob> SetupCommandJob::setClock(const QDateTime& localTime) {
    return std::make_unique<SetupCommandJob>(setup::setClockCommand(localTime), setup::kShortReply,
                                             setup::kReplyLimitMs, setup::kSetClockPauseMs);
}
std::unique_ptr<SetupCommandJob> SetupCommandJob::setUnit(bool fahrenheit) {
    return std::make_unique<SetupCommandJob>(setup::setUnitCommand(fahrenheit), setup::kShortReply,
                                             setup::kReplyLimitMs);
}
std::unique_ptr<SetupCommandJob> SetupCommandJob::setInterval(int index) {
    return std::make_unique<SetupCommandJob>(setup::setIntervalCommand(index), setup::kShortReply,
                                             setup::kReplyLimitMs);
}
std::unique_ptr<SetupCommandJob> SetupCommandJob::erase() {
    return std::make_unique<SetupCommandJob>(setup::eraseCommand(), setup::kShortReply, setup::kEraseLimitMs);
}
std::unique_ptr<SetupCommandJob> SetupCommandJob::readClock() {
    return std::make_unique<SetupCommandJob>(protocol::plainCommand(protocol::kReadClock), setup::kClockReply,
                                             setup::kReplyLimitMs);
}
std::unique_ptr<SetupCommandJob> SetupCommandJob::readInterval() {
    return std::make_unique<SetupCommandJob>(protocol::plainCommand(protocol::kReadInterval),
                                             setup::kIntervalReply, setup::kReplyLimitMs);
}

QByteArray& SetupClockJob::replyBuffer() {
    static QByteArray buffer;
    return buffer;
}

JobStep SetupClockJob::start(const Outcome& open, qint64 nowMs) {
    m_portOpen = open.ok();
    m_nextTickMs = nowMs + kTickMs;
    return JobStep::wakeAt(m_nextTickMs);
}

JobStep SetupClockJob::step(const QByteArray& arrived, qint64 nowMs) {
    if (!arrived.isEmpty()) {
        QByteArray& buffer = replyBuffer();
        buffer.append(arrived);
        const std::optional<QDateTime> clock = takeClockReplies(buffer);
        // Garbage without a start mark is dropped by the cut; a flood is bounded here.
        if (buffer.size() > setup::kMaxReply) buffer.clear();
        if (clock && onClock) onClock(*clock);
    }
    if (nowMs < m_nextTickMs) return JobStep::wakeAt(m_nextTickMs);
    m_nextTickMs = nowMs + kTickMs;
    if (onTick) onTick();
    return JobStep::wakeAt(m_nextTickMs,
                           m_portOpen ? protocol::plainCommand(protocol::kReadClock) : QByteArray());
}

} // namespace tq
