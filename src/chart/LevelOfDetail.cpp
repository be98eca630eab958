#include "LevelOfDetail.h"

#include <algorithm>

namespace tq {

LevelOfDetail::Node LevelOfDetail::Node::join(const Node& a, const Node& b) {
    if (b.minAt < 0) {
        Node n = a;
        n.gap = a.gap || b.gap;
        return n;
    }
    if (a.minAt < 0) {
        Node n = b;
        n.gap = a.gap || b.gap;
        return n;
    }
    Node n = a;
    n.gap = a.gap || b.gap;
    n.lastAt = b.lastAt;
    // a lies before b: on equal values a's index is the earlier one.
    if (b.min < a.min) {
        n.min = b.min;
        n.minAt = b.minAt;
    }
    if (b.max > a.max) {
        n.max = b.max;
        n.maxAt = b.maxAt;
    }
    return n;
}

void LevelOfDetail::build(const double* x, const float* y, int count, GapRule isGap) {
    m_x = x;
    m_y = y;
    m_count = x && y ? std::max(0, count) : 0;
    m_isGap = isGap;
    m_pyramid.build(m_count, [this](int from, int to) { return leaf(from, to); });
}

LevelOfDetail::Node LevelOfDetail::leaf(int from, int to) const {
    // Two passes over readings that sit in the cache: the extremes without
    // a branch per reading, then where they first occur.
    float low = INFINITY;
    float high = -INFINITY;
    bool gap = false;
    for (int i = from; i < to; ++i) {
        const float v = m_y[i];
        const bool g = m_isGap(v);
        gap |= g;
        low = std::min(low, g ? INFINITY : v);
        high = std::max(high, g ? -INFINITY : v);
    }
    Node n;
    n.gap = gap;
    if (low > high) return n; // nothing but gaps
    n.min = low;
    n.max = high;
    for (int i = from; i < to && (n.minAt < 0 || n.maxAt < 0 || n.firstAt < 0); ++i) {
        const float v = m_y[i];
        if (gap && m_isGap(v)) continue;
        if (n.firstAt < 0) n.firstAt = i;
        if (n.minAt < 0 && v == low) n.minAt = i;
        if (n.maxAt < 0 && v == high) n.maxAt = i;
    }
    n.lastAt = to - 1;
    while (gap && m_isGap(m_y[n.lastAt]))
        --n.lastAt;
    return n;
}

LevelOfDetail::Node LevelOfDetail::summary(int from, int to) const {
    return m_pyramid.query(from, to, [this](int a, int b) { return leaf(a, b); });
}

namespace {

void pushBreak(std::vector<int>* out, int gap) {
    if (!out->empty() && !LevelOfDetail::isBreak(out->back())) out->push_back(LevelOfDetail::breakAt(gap));
}

void pushIndex(std::vector<int>* out, int i) {
    if (out->empty() || out->back() != i) out->push_back(i);
}

} // namespace

void LevelOfDetail::pushFour(int first, int last, const Node& n, std::vector<int>* out) const {
    int four[4] = {first, std::min(n.minAt, n.maxAt), std::max(n.minAt, n.maxAt), last};
    for (int i : four)
        pushIndex(out, i);
}

void LevelOfDetail::pushAll(int from, int to, std::vector<int>* out) const {
    for (int i = from; i < to; ++i) {
        if (m_isGap(m_y[i]))
            pushBreak(out, i);
        else
            out->push_back(i);
    }
}

void LevelOfDetail::pushRuns(int from, int to, std::vector<int>* out) const {
    int start = -1;
    for (int i = from; i <= to; ++i) {
        const bool gap = i == to || m_isGap(m_y[i]);
        if (!gap && start < 0) start = i;
        if (gap && start >= 0) {
            pushFour(start, i - 1, leaf(start, i), out);
            start = -1;
        }
        if (gap && i < to) pushBreak(out, i);
    }
}

void LevelOfDetail::pick(double from, double to, const std::function<long long(double)>& column, int exactMax,
                         std::vector<int>* out) const {
    out->clear();
    if (m_count == 0) return;
    const double* end = m_x + m_count;
    const int lo = int(std::lower_bound(m_x, end, from) - m_x);
    const int hi = int(std::upper_bound(m_x + lo, end, to) - m_x);
    const int first = std::max(0, lo - 1);
    const int last = std::min(m_count, hi + 1);
    if (last - first <= exactMax) {
        pushAll(first, last, out);
        return;
    }
    pushAll(first, lo, out);
    const auto sameColumn = [&column](long long c) {
        return [&column, c](double x) { return column(x) <= c; };
    };
    int i = lo;
    while (i < hi) {
        const auto inColumn = sameColumn(column(m_x[i]));
        // The column's readings end where the next column starts: found by
        // galloping ahead, then bisecting the last step.
        int known = i;
        int probe = i + 1;
        for (int step = 1; probe < hi && inColumn(m_x[probe]); step *= 2) {
            known = probe;
            probe = std::min(hi, known + 2 * step);
        }
        const int next = int(std::partition_point(m_x + known + 1, m_x + probe, inColumn) - m_x);
        const Node n = summary(i, next);
        if (n.minAt < 0)
            pushBreak(out, i);
        else if (n.gap)
            pushRuns(i, next, out);
        else
            pushFour(i, next - 1, n, out);
        i = next;
    }
    pushAll(hi, last, out);
}

} // namespace tq
