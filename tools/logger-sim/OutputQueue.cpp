#include "OutputQueue.h"

#include <algorithm>

namespace tq::sim {

namespace {
// A late wake-up may catch up on this much line time at once, no more, so
// pacing resumes at line speed after the port was blocked.
constexpr qint64 kCatchUpNs = 2'000'000;
} // namespace

void OutputQueue::push(const QByteArray& bytes, qint64 dueNs) {
    if (bytes.isEmpty()) return;
    m_chunks.push_back({bytes, dueNs});
    m_pending += bytes.size();
    // Never drop the reply that is partly written: its tail must follow.
    while (m_pending > kMaxPendingBytes && m_chunks.size() > 1) {
        auto victim = m_chunks.front().sent > 0 ? std::next(m_chunks.begin()) : m_chunks.begin();
        m_pending -= victim->bytes.size() - victim->sent;
        m_chunks.erase(victim);
    }
}

void OutputQueue::clear() {
    m_chunks.clear();
    m_pending = 0;
}

qint64 OutputQueue::firstSlot() const {
    const Chunk& head = m_chunks.front();
    return m_pacing ? std::max(head.dueNs, m_nextSlotNs) : head.dueNs;
}

QByteArray OutputQueue::ready(qint64 nowNs) const {
    if (m_chunks.empty()) return {};
    const Chunk& head = m_chunks.front();
    const qint64 slot = firstSlot();
    if (nowNs < slot) return {};
    qsizetype count = head.bytes.size() - head.sent;
    if (m_pacing) count = std::min<qint64>(count, 1 + (nowNs - slot) / kByteNs);
    return head.bytes.mid(head.sent, count);
}

void OutputQueue::consumed(qsizetype n, qint64 nowNs) {
    if (m_chunks.empty() || n <= 0) return;
    const qint64 slot = firstSlot();
    Chunk& head = m_chunks.front();
    n = std::min(n, head.bytes.size() - head.sent);
    head.sent += n;
    m_pending -= n;
    m_nextSlotNs = std::max(slot + n * kByteNs, nowNs - kCatchUpNs);
    if (head.sent == head.bytes.size()) m_chunks.pop_front();
}

std::optional<qint64> OutputQueue::nextDueNs() const {
    if (m_chunks.empty()) return std::nullopt;
    return firstSlot();
}

} // namespace tq::sim
