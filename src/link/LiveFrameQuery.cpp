#include "LiveFrameQuery.h"

#include "FrameCutter.h"
#include "LcdState.h"
#include "LiveDecoder.h"
#include "Protocol.h"

namespace tq {

namespace {
// A buffer that grows past this holds no frame worth waiting for.
constexpr int kMaxBuffer = 4096;
} // namespace

LiveFrameQuery::LiveFrameQuery(const LoggerModel& model) {
    m_link.setModel(model);
}

JobStep LiveFrameQuery::start(const Outcome& open, qint64 nowMs) {
    if (!open.ok()) {
        m_outcome = open;
        return JobStep::finished();
    }
    m_dueMs = nowMs + kReplyWaitMs;
    return JobStep::wakeAt(m_dueMs, protocol::plainCommand(protocol::kLive));
}

JobStep LiveFrameQuery::step(const QByteArray& arrived, qint64 nowMs) {
    m_buffer.append(arrived);
    const QList<QByteArray> frames = cutFrames(m_buffer, m_link.frameLength);
    if (!frames.isEmpty()) {
        LcdState lcd;
        decodeLiveFrame(frames.first(), lcd, m_link);
        m_seen = true;
        return JobStep::finished();
    }
    if (m_buffer.size() > kMaxBuffer) m_buffer.clear();
    if (nowMs < m_dueMs) return JobStep::wakeAt(m_dueMs);
    m_outcome = JobOutcome::fail(JobOutcome::Code::NoAnswer, QStringLiteral("no live reading"));
    return JobStep::finished();
}

} // namespace tq
