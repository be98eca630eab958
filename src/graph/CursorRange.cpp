#include "CursorRange.h"

namespace tq {

CursorRange::Node CursorRange::Node::join(const Node& a, const Node& b) {
    Node n = a;
    n.sum += b.sum;
    n.count += b.count;
    // a lies before b: only a strictly higher (lower) value of b wins, as
    // the walk from left to right keeps the earliest of equal values.
    if (b.maxAt >= 0 && b.max > n.max) {
        n.max = b.max;
        n.maxAt = b.maxAt;
    }
    if (b.minAt >= 0 && b.min < n.min) {
        n.min = b.min;
        n.minAt = b.minAt;
    }
    return n;
}

CursorRange::Node CursorRange::leaf(int from, int to) const {
    Node n;
    for (int i = from; i < to; ++i) {
        const float v = m_y[i];
        if (isAveraged(v)) {
            n.sum += v;
            ++n.count;
        }
        if (v > n.max) {
            n.max = v;
            n.maxAt = i;
        }
        if (v < n.min) {
            n.min = v;
            n.minAt = i;
        }
    }
    return n;
}

void CursorRange::build(TimeLine x, const float* y, int count, quint64 revision) {
    m_x = x;
    m_y = y;
    m_count = !x.isNull() && y ? qMax(0, count) : 0;
    m_revision = revision;
    m_pyramid.build(m_count, [this](int from, int to) { return leaf(from, to); });
}

CursorStatistics CursorRange::between(int a, int b) const {
    CursorStatistics s;
    if (m_count <= 0) return s;
    s.a = clampIndex(a, m_count);
    s.b = clampIndex(b, m_count);
    const int lo = qMin(s.a, s.b);
    const int hi = qMax(s.a, s.b);
    const Node n = m_pyramid.query(lo, hi + 1, [this](int from, int to) { return leaf(from, to); });
    s.max = n.max;
    s.min = n.min;
    if (n.maxAt >= 0) s.maxTime = m_x[n.maxAt];
    if (n.minAt >= 0) s.minTime = m_x[n.minAt];
    s.readings = n.count;
    s.average = n.count > 0 ? n.sum / n.count : 0.0;
    s.valueA = m_y[s.a];
    s.timeA = m_x[s.a];
    s.valueB = m_y[s.b];
    s.timeB = m_x[s.b];
    return s;
}

} // namespace tq
