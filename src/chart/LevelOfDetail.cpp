#include "LevelOfDetail.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

void LevelOfDetail::build(TimeLine x, const float* y, int count, GapRule isGap) {
    m_x = x;
    m_y = y;
    m_count = !x.isNull() && y ? std::max(0, count) : 0;
    m_isGap = isGap;
    const int block = std::max(64, int(std::bit_ceil(unsigned(m_count / 8192 + 1))));
    m_pyramid.build(
        m_count, [this](int from, int to) { return leaf(from, to); }, block);
}

void LevelOfDetail::extend(TimeLine x, const float* y, int count) {
    if (x.isNull() || !y || count < m_count) return build(x, y, count, m_isGap);
    m_x = x;
    m_y = y;
    m_count = count;
    m_pyramid.extend(m_count, [this](int from, int to) { return leaf(from, to); });
}

#if defined(__SSE2__)
namespace {

// Four readings at a time: which of them are drawn (not gaps), as a mask.
struct Drawn4 {
    __m128 nullY;
    __m128 limit;
    __m128 abs;
    explicit Drawn4(const GapRule& rule)
        : nullY(_mm_set1_ps(rule.nullY)), limit(_mm_set1_ps(std::fmin(rule.limit, FLT_MAX))),
          abs(_mm_castsi128_ps(_mm_set1_epi32(0x7fffffff))) {}
    // A non-number fails the comparison with the limit, as in GapRule.
    __m128 operator()(__m128 v) const {
        return _mm_andnot_ps(_mm_cmpeq_ps(v, nullY), _mm_cmple_ps(_mm_and_ps(v, abs), limit));
    }
};

__m128 choose(__m128 mask, __m128 a, __m128 b) {
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

int firstSet(int bits) {
    return std::countr_zero(unsigned(bits));
}

} // namespace
#endif

#if defined(__SSE2__)
bool LevelOfDetail::leafWithoutGaps(int from, int to, Node* n) const {
    // Most ranges hold no gap. Their plain extremes, with no test of each
    // reading, show it: within the limits, no non-number among them, and
    // the null value not between them. Four chains of four readings at a
    // time keep the processor busy; this is most of drawing a long series
    // the first time.
    const __m128 up = _mm_set1_ps(INFINITY);
    const __m128 down = _mm_set1_ps(-INFINITY);
    __m128 low0 = up, low1 = up, low2 = up, low3 = up;
    __m128 high0 = down, high1 = down, high2 = down, high3 = down;
    __m128 odd0 = _mm_setzero_ps(), odd1 = odd0;
    int i = from;
    for (; i + 16 <= to; i += 16) {
        const __m128 a = _mm_loadu_ps(m_y + i);
        const __m128 b = _mm_loadu_ps(m_y + i + 4);
        const __m128 c = _mm_loadu_ps(m_y + i + 8);
        const __m128 d = _mm_loadu_ps(m_y + i + 12);
        low0 = _mm_min_ps(low0, a);
        low1 = _mm_min_ps(low1, b);
        low2 = _mm_min_ps(low2, c);
        low3 = _mm_min_ps(low3, d);
        high0 = _mm_max_ps(high0, a);
        high1 = _mm_max_ps(high1, b);
        high2 = _mm_max_ps(high2, c);
        high3 = _mm_max_ps(high3, d);
        odd0 = _mm_or_ps(odd0, _mm_cmpunord_ps(a, b));
        odd1 = _mm_or_ps(odd1, _mm_cmpunord_ps(c, d));
    }
    alignas(16) float lows[4];
    alignas(16) float highs[4];
    _mm_store_ps(lows, _mm_min_ps(_mm_min_ps(low0, low1), _mm_min_ps(low2, low3)));
    _mm_store_ps(highs, _mm_max_ps(_mm_max_ps(high0, high1), _mm_max_ps(high2, high3)));
    bool nonNumber = _mm_movemask_ps(_mm_or_ps(odd0, odd1)) != 0;
    float low = std::min({lows[0], lows[1], lows[2], lows[3]});
    float high = std::max({highs[0], highs[1], highs[2], highs[3]});
    for (; i < to; ++i) {
        const float v = m_y[i];
        nonNumber |= std::isnan(v);
        low = std::min(low, v);
        high = std::max(high, v);
    }
    const float limit = std::fmin(m_isGap.limit, FLT_MAX);
    if (nonNumber || !(low >= -limit && high <= limit) || (m_isGap.nullY >= low && m_isGap.nullY <= high))
        return false;
    n->min = low;
    n->max = high;
    n->firstAt = from;
    n->lastAt = to - 1;
    n->gap = false;
    // Where each extreme first occurs: sixteen readings a test, then the
    // one among them.
    const auto firstEqual = [this, from, to](float value) {
        const __m128 all = _mm_set1_ps(value);
        int k = from;
        for (; k + 16 <= to; k += 16) {
            const __m128 a = _mm_or_ps(_mm_cmpeq_ps(_mm_loadu_ps(m_y + k), all),
                                       _mm_cmpeq_ps(_mm_loadu_ps(m_y + k + 4), all));
            const __m128 b = _mm_or_ps(_mm_cmpeq_ps(_mm_loadu_ps(m_y + k + 8), all),
                                       _mm_cmpeq_ps(_mm_loadu_ps(m_y + k + 12), all));
            if (_mm_movemask_ps(_mm_or_ps(a, b))) break;
        }
        while (k < to && m_y[k] != value)
            ++k;
        return k;
    };
    n->minAt = firstEqual(low);
    n->maxAt = firstEqual(high);
    return true;
}
#endif

LevelOfDetail::Node LevelOfDetail::leaf(int from, int to) const {
#if defined(__SSE2__)
    if (Node n; from < to && leafWithoutGaps(from, to, &n)) return n;
#endif
    // A range with gaps: two passes over readings that sit in the cache,
    // the extremes of the drawn ones without a branch per reading, then
    // where they first occur, four readings at a time where the processor
    // can.
    float low = INFINITY;
    float high = -INFINITY;
    bool gap = false;
    int i = from;
#if defined(__SSE2__)
    const Drawn4 drawn4(m_isGap);
    const __m128 up = _mm_set1_ps(INFINITY);
    const __m128 down = _mm_set1_ps(-INFINITY);
    __m128 low4 = up;
    __m128 high4 = down;
    __m128 all4 = _mm_castsi128_ps(_mm_set1_epi32(-1));
    for (; i + 4 <= to; i += 4) {
        const __m128 v = _mm_loadu_ps(m_y + i);
        const __m128 drawn = drawn4(v);
        all4 = _mm_and_ps(all4, drawn);
        low4 = _mm_min_ps(low4, choose(drawn, v, up));
        high4 = _mm_max_ps(high4, choose(drawn, v, down));
    }
    alignas(16) float lows[4];
    alignas(16) float highs[4];
    _mm_store_ps(lows, low4);
    _mm_store_ps(highs, high4);
    for (int k = 0; k < 4; ++k) {
        low = std::min(low, lows[k]);
        high = std::max(high, highs[k]);
    }
    gap = _mm_movemask_ps(all4) != 0xf;
#endif
    for (; i < to; ++i) {
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
    i = from;
#if defined(__SSE2__)
    const __m128 lowAll = _mm_set1_ps(low);
    const __m128 highAll = _mm_set1_ps(high);
    for (; i + 4 <= to && (n.minAt < 0 || n.maxAt < 0 || n.firstAt < 0); i += 4) {
        const __m128 v = _mm_loadu_ps(m_y + i);
        const __m128 drawn = drawn4(v);
        const int any = _mm_movemask_ps(drawn);
        const int lows4 = _mm_movemask_ps(_mm_and_ps(drawn, _mm_cmpeq_ps(v, lowAll)));
        const int highs4 = _mm_movemask_ps(_mm_and_ps(drawn, _mm_cmpeq_ps(v, highAll)));
        if (n.firstAt < 0 && any) n.firstAt = i + firstSet(any);
        if (n.minAt < 0 && lows4) n.minAt = i + firstSet(lows4);
        if (n.maxAt < 0 && highs4) n.maxAt = i + firstSet(highs4);
    }
#endif
    for (; i < to && (n.minAt < 0 || n.maxAt < 0 || n.firstAt < 0); ++i) {
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
    const int lo = m_x.lowerBound(0, m_count, from);
    const int hi = m_x.upperBound(lo, m_count, to);
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
        const int next = m_x.partitionPoint(known + 1, probe, inColumn);
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
