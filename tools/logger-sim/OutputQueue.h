#pragma once

#include <QByteArray>

#include <deque>
#include <optional>

namespace tq::sim {

// Bytes waiting to leave the logger, each reply with the time it may start.
// With pacing on, bytes leave no faster than the line carries them
// (10 bits per byte at 19200 baud). Times are monotonic nanoseconds.
class OutputQueue {
  public:
    static constexpr qint64 kByteNs = 1'000'000'000LL * 10 / 19200;
    // Replies kept while nobody reads the port; older whole replies are
    // dropped first, as a line with the cable pulled would lose them.
    static constexpr qint64 kMaxPendingBytes = 1 << 20;

    void push(const QByteArray& bytes, qint64 dueNs);
    void clear();
    void setPacing(bool on) { m_pacing = on; }

    // The bytes of the first reply that may be written at nowNs.
    QByteArray ready(qint64 nowNs) const;
    // n of the ready bytes were written at nowNs.
    void consumed(qsizetype n, qint64 nowNs);
    // When more bytes become ready; empty when nothing waits.
    std::optional<qint64> nextDueNs() const;

    bool empty() const { return m_chunks.empty(); }
    qint64 pendingBytes() const { return m_pending; }

  private:
    struct Chunk {
        QByteArray bytes;
        qint64 dueNs;
        qsizetype sent = 0;
    };
    qint64 firstSlot() const;

    std::deque<Chunk> m_chunks;
    qint64 m_pending = 0;
    qint64 m_nextSlotNs = 0;
    bool m_pacing = false;
};

} // namespace tq::sim
