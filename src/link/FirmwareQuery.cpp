#include "FirmwareQuery.h"

#include "Protocol.h"

namespace tq {

std::optional<QString> firmwareFromReply(const QByteArray& reply) {
    if (reply.size() != FirmwareQuery::kReplyLength) return std::nullopt;
    return QString::fromLatin1(reply.mid(1, FirmwareQuery::kReplyLength - 2));
}

JobStep FirmwareQuery::start(const Outcome& open, qint64 nowMs) {
    if (!open.ok()) {
        m_stage = Stage::Over;
        m_outcome = open;
        return JobStep::finished();
    }
    m_stage = Stage::Wake;
    m_dueMs = nowMs + kWakeMs;
    return JobStep::wakeAt(m_dueMs, QByteArray(1, protocol::kWake));
}

JobStep FirmwareQuery::step(const QByteArray& arrived, qint64 nowMs) {
    if (m_stage == Stage::Over) return JobStep::finished();
    if (m_stage == Stage::Reply) {
        // Only the length of a long reply matters; its bytes are not kept.
        m_replyLength += arrived.size();
        if (m_reply.size() < 16) m_reply.append(arrived.left(16 - m_reply.size()));
    }
    if (nowMs < m_dueMs) return JobStep::wakeAt(m_dueMs);
    if (m_stage == Stage::Wake) {
        m_stage = Stage::Reply;
        m_dueMs = nowMs + kReplyWaitMs;
        return JobStep::wakeAt(m_dueMs, protocol::plainCommand(protocol::kFirmware));
    }
    m_stage = Stage::Over;
    m_version = m_replyLength == kReplyLength ? firmwareFromReply(m_reply) : std::nullopt;
    if (!m_version)
        m_outcome = JobOutcome::fail(JobOutcome::Code::NoAnswer, QStringLiteral("no version reply"));
    return JobStep::finished();
}

} // namespace tq
