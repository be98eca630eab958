#include "LoggerSearch.h"

#include "Protocol.h"

namespace tq {

std::optional<LoggerModel> modelFromSearchReply(const QByteArray& reply) {
    if (reply.size() < LoggerSearch::kReplyLength) return std::nullopt;
    const QByteArray text = reply.left(LoggerSearch::kReplyLength);
    if (text.contains("860")) return kModel860;
    if (text.contains("862")) return kModel862;
    return std::nullopt;
}

LoggerSearch::LoggerSearch(const QStringList& devices) {
    for (const QString& device : devices)
        m_probes.append({device, Outcome::NotTried, {}});
}

JobStep LoggerSearch::start(const tq::Outcome&, qint64 nowMs) {
    m_index = -1;
    return nextDevice(nowMs);
}

JobStep LoggerSearch::nextDevice(qint64 nowMs) {
    if (++m_index >= m_probes.size()) {
        m_stage = Stage::Over;
        m_outcome = JobOutcome::fail(JobOutcome::Code::NoAnswer, QStringLiteral("no logger found"));
        return JobStep::finished();
    }
    if (onProbe) onProbe(m_probes[m_index].device);
    m_stage = Stage::Settle;
    m_dueMs = nowMs + kSettleMs;
    return JobStep::wakeAt(m_dueMs);
}

JobStep LoggerSearch::opened(const tq::Outcome& open, qint64 nowMs) {
    if (!open.ok()) {
        m_probes[m_index].outcome = Outcome::CannotOpen;
        m_probes[m_index].why = open.text;
        return nextDevice(nowMs);
    }
    m_stage = Stage::Purge;
    m_dueMs = nowMs + kSettleMs;
    return JobStep::wakeAt(m_dueMs);
}

JobStep LoggerSearch::step(const QByteArray& arrived, qint64 nowMs) {
    if (m_stage == Stage::Over) return JobStep::finished();
    // Only the first bytes of a reply are looked at; a flood is not kept.
    if (m_reply.size() < 64) m_reply.append(arrived.left(64));
    if (nowMs < m_dueMs) return JobStep::wakeAt(m_dueMs);
    switch (m_stage) {
    case Stage::Settle:
        requestOpen(m_probes[m_index].device);
        return JobStep::wakeAt(-1);
    case Stage::Purge:
        // What the line brought while it settled is no reply.
        m_reply.clear();
        m_stage = Stage::Reply;
        m_dueMs = nowMs + kReplyWaitMs;
        return JobStep::wakeAt(m_dueMs, protocol::plainCommand(protocol::kSearch));
    case Stage::Reply: {
        Probe& probe = m_probes[m_index];
        if (const std::optional<LoggerModel> model = modelFromSearchReply(m_reply)) {
            probe.outcome = Outcome::Found;
            m_found = m_index;
            m_model = *model;
            m_stage = Stage::Over;
            m_outcome = {};
            return JobStep::finished();
        }
        probe.outcome = m_reply.size() >= kReplyLength ? Outcome::NotALogger : Outcome::NoLogger;
        m_reply.clear();
        requestClose();
        return nextDevice(nowMs);
    }
    case Stage::Over:
        break;
    }
    return JobStep::finished();
}

QString LoggerSearch::probeText(const Probe& probe) {
    switch (probe.outcome) {
    case Outcome::CannotOpen:
        return QStringLiteral("%1: could not be opened: %2").arg(probe.device, probe.why);
    case Outcome::NoLogger:
        return QStringLiteral("%1: no answer").arg(probe.device);
    case Outcome::NotALogger:
        return QStringLiteral("%1: answered, but not as a logger of model 860 or 862").arg(probe.device);
    case Outcome::Found:
        return QStringLiteral("%1: logger found").arg(probe.device);
    case Outcome::NotTried:
        break;
    }
    return QStringLiteral("%1: not tried").arg(probe.device);
}

} // namespace tq
