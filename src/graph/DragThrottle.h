#pragma once

#include <QtGlobal>

namespace tq {

// Lets a dragged cursor line move at most once per interval, so a large
// chart stays responsive. Times are milliseconds of a monotonic clock.
class DragThrottle {
  public:
    static constexpr qint64 kIntervalMs = 200;

    // The drag starts: the next move must wait a full interval.
    void start(qint64 nowMs) { m_last = nowMs; }
    // True when a move may happen now; the interval then starts again.
    bool take(qint64 nowMs) {
        if (nowMs - m_last <= kIntervalMs) return false;
        m_last = nowMs;
        return true;
    }

  private:
    qint64 m_last = 0;
};

} // namespace tq
