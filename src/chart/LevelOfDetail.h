#pragma once

// The level-of-detail layer a line series is drawn through.
//
// A screen has a few thousand pixel columns; a logger's memory holds
// millions of readings. A line drawn through every reading of a column
// covers, in that column, the rows from the lowest to the highest reading,
// and it enters and leaves the column through its first and its last
// reading. Those four readings per column (M4) therefore draw the same
// picture as all of them. They are taken from a pyramid of per-block
// extremes built once when the data is set, so a redraw costs about the
// pixels, not the readings. When few readings are visible every one of them
// is drawn.
//
// Gaps (the null value, non-numbers, out-of-range marks) break the line. A
// column whose readings hold a gap is walked reading by reading, each run
// between gaps getting its own four; a column of nothing but gaps is one
// break.

#include "Pyramid.h"
#include "ReadingMarks.h"
#include "TimeLine.h"

#include <cfloat>
#include <cmath>
#include <functional>
#include <vector>

namespace tq {

// Which Y values are gaps: the null value, non-numbers, and values beyond
// +-limit (the marks of a reading out of range).
struct GapRule {
    float nullY = kNullReading;
    float limit = INFINITY;
    // Without a branch: a non-number fails every comparison, infinity is
    // beyond the largest float.
    bool operator()(float y) const { return (y == nullY) | !(std::fabs(y) <= std::fmin(limit, FLT_MAX)); }
};

class LevelOfDetail {
  public:
    // The X (ascending) and Y values of a series. The arrays must outlive
    // the layer or its next build().
    void build(TimeLine x, const float* y, int count, GapRule isGap);
    void clear() { build({}, nullptr, 0, {}); }
    // The series grew to count readings, the earlier ones unchanged (the
    // arrays may have moved); the summaries are extended, not built again.
    void extend(TimeLine x, const float* y, int count);

    // A break in the picked indices: a negative entry, made from the index
    // of the gap that breaks the line.
    static int breakAt(int gap) { return -gap - 1; }
    static bool isBreak(int entry) { return entry < 0; }
    static int gapOf(int entry) { return -entry - 1; }

    // The indices of the readings to draw, in order, breaks where the line
    // breaks, for the X range [from, to] drawn on a column grid: column(x)
    // is the pixel column a reading at X falls into, ascending with X. Every
    // reading is taken while the visible ones are at most exactMax; beyond
    // it, the four per column. The reading before and the one after the
    // range are always included, so the line runs on to the edges.
    void pick(double from, double to, const std::function<long long(double)>& column, int exactMax,
              std::vector<int>* out) const;

    int count() const { return m_count; }
    bool isGap(float y) const { return m_isGap(y); }
    TimeLine x() const { return m_x; }
    const float* y() const { return m_y; }
    size_t bytes() const { return m_pyramid.bytes(); }

    // Summary of a range: the extremes of the drawn readings (the earliest
    // index of each), the first and last drawn reading, and whether any
    // reading in it is a gap.
    struct Node {
        float min = 0.0f;
        float max = 0.0f;
        int minAt = -1; // -1: no drawn reading in the range
        int maxAt = -1;
        int firstAt = -1;
        int lastAt = -1;
        bool gap = false;
        static Node join(const Node& a, const Node& b);
    };
    Node summary(int from, int to) const;

  private:
    Node leaf(int from, int to) const;
    // leaf() for a range without gaps, found without testing each reading;
    // false for one that may hold a gap.
    bool leafWithoutGaps(int from, int to, Node* n) const;
    void pushAll(int from, int to, std::vector<int>* out) const;
    void pushRuns(int from, int to, std::vector<int>* out) const;
    void pushFour(int first, int last, const Node& n, std::vector<int>* out) const;

    TimeLine m_x;
    const float* m_y = nullptr;
    int m_count = 0;
    GapRule m_isGap;
    // Blocks of 64 readings, more for a long series built at once, so that
    // there are at most about 8192 of them: a few ragged readings more to
    // walk at each end of a column, and summaries the size of a few screens,
    // not of the readings. A growing series keeps its first size.
    Pyramid<Node> m_pyramid{64};
};

} // namespace tq
