#pragma once

// The statistics between cursors A and B of a long series without a pass
// over the readings between them: a pyramid of per-block extremes and sums,
// built once for the series and asked again on every cursor move. It gives
// what cursorStatistics() gives by walking the range: the extremes of every
// value with the earliest point of each, and the sum and count of the
// values strictly between -3000 and 3000 (the sum taken in a different
// order, so its last bits may differ).

#include "GraphStatistics.h"
#include "Pyramid.h"
#include "TimeLine.h"

#include <QtGlobal>

namespace tq {

class CursorRange {
  public:
    // The arrays must live until the next build() or until built() says
    // they are no longer the ones built for.
    void build(TimeLine x, const float* y, int count, quint64 revision);
    bool built(TimeLine x, const float* y, int count, quint64 revision) const {
        return m_x == x && m_y == y && m_count == count && m_revision == revision;
    }
    // As cursorStatistics(count, a, b, ...) over the built series.
    CursorStatistics between(int a, int b) const;

    struct Node {
        float max = -99999.0f;
        float min = 99999.0f;
        int maxAt = -1;
        int minAt = -1;
        double sum = 0.0;
        int count = 0;
        static Node join(const Node& a, const Node& b);
    };

  private:
    Node leaf(int from, int to) const;

    TimeLine m_x;
    const float* m_y = nullptr;
    int m_count = 0;
    quint64 m_revision = 0;
    Pyramid<Node> m_pyramid;
};

} // namespace tq
