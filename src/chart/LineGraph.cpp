#include "LineGraph.h"

#include "ChartTime.h"
#include "Spline.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace tq {

namespace {
bool drawable(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}
} // namespace

LineGraph::LineGraph(QCPAxis* keyAxis, QCPAxis* valueAxis) : QCPGraph(keyAxis, valueAxis) {}

void LineGraph::setSource(TimeLine x, const float* y, int count, GapRule gaps, bool spline) {
    m_lod.build(x, y, count, gaps);
    m_hasSource = true;
    m_spline = spline;
    // What reaches the plot is then at most a few points per column; its
    // own sampling would only take some of them away.
    setAdaptiveSampling(false);
}

void LineGraph::clearSource() {
    m_lod.clear();
    m_hasSource = false;
    mDataContainer->clear();
    setAdaptiveSampling(true);
}

void LineGraph::draw(QCPPainter* painter) {
    if (m_hasSource) takeVisible();
    QCPGraph::draw(painter);
}

void LineGraph::takeVisible() {
    // Above about two points per pixel a spline cannot be told from a line
    // and costs many times more to draw, so it is drawn as a line.
    constexpr int kSplinePerColumn = 2;
    constexpr int kMaxSplineSteps = 8;
    // The curve between two readings depends on a few readings around
    // them: that many beyond each edge keep it as the whole curve has it.
    constexpr int kSplineMargin = 8;
    const QCPAxis* keys = keyAxis();
    if (!keys) return;
    const QCPRange range = keys->range();
    const double from = axisToDays(range.lower);
    const double to = axisToDays(range.upper);
    const int columns = std::max(1, keys->axisRect()->width());
    const TimeLine x = m_lod.x();
    const float* y = m_lod.y();
    QVector<QCPGraphData> drawn;
    if (m_spline && m_lod.count() > 2) {
        const int lo = x.lowerBound(0, m_lod.count(), from);
        const int hi = x.upperBound(lo, m_lod.count(), to);
        if (hi - lo <= kSplinePerColumn * columns) {
            const int first = std::max(0, lo - kSplineMargin);
            const int last = std::min(m_lod.count(), hi + kSplineMargin);
            QVector<double> k, v, sk, sv;
            k.reserve(last - first);
            v.reserve(last - first);
            for (int i = first; i < last; ++i) {
                k.append(daysToAxis(x[i]));
                v.append(m_lod.isGap(y[i]) ? std::numeric_limits<double>::quiet_NaN() : double(y[i]));
            }
            const double perColumn = double(hi - lo) / columns;
            const int steps = perColumn > 0 ? std::clamp(int(2.0 / perColumn), 1, kMaxSplineSteps) : 1;
            splineCurve(k, v, steps, &sk, &sv);
            drawn.reserve(sk.size());
            for (qsizetype i = 0; i < sk.size(); ++i)
                drawn.append(QCPGraphData(sk[i], sv[i]));
            mDataContainer->set(drawn, true);
            return;
        }
    }
    // Columns as the painter rasterises the plot's aliased lines: it rounds
    // their ends to whole pixels.
    const auto column = [keys](double day) {
        const double px = keys->coordToPixel(daysToAxis(day));
        return std::isfinite(px) ? static_cast<long long>(std::floor(px + 0.5)) : LLONG_MIN;
    };
    // Marks at every reading are not drawn by the four of a column: each
    // reading between the extremes shows as a mark of its own.
    const int perColumn = scatterStyle().isNone() ? m_exactPerColumn : INT_MAX;
    const long long exact = std::min<long long>(INT_MAX, (long long)perColumn * columns);
    m_lod.pick(from, to, column, int(exact), &m_picked);
    drawn.reserve(qsizetype(m_picked.size()));
    for (int i : m_picked) {
        if (LevelOfDetail::isBreak(i))
            drawn.append(QCPGraphData(daysToAxis(x[LevelOfDetail::gapOf(i)]),
                                      std::numeric_limits<double>::quiet_NaN()));
        else
            drawn.append(QCPGraphData(daysToAxis(x[i]), double(y[i])));
    }
    mDataContainer->set(drawn, true);
}

QVector<QLineF> LineGraph::segments(const QVector<QPointF>& points) {
    QVector<QLineF> out;
    out.reserve(points.size());
    for (qsizetype i = 1; i < points.size(); ++i) {
        if (drawable(points[i - 1]) && drawable(points[i])) out.append(QLineF(points[i - 1], points[i]));
    }
    return out;
}

double LineGraph::valueTravel(const QVector<QPointF>& points, Qt::Orientation keyOrientation) {
    double travel = 0.0;
    for (qsizetype i = 1; i < points.size(); ++i) {
        if (!drawable(points[i - 1]) || !drawable(points[i])) continue;
        const QPointF step = points[i] - points[i - 1];
        travel += std::fabs(keyOrientation == Qt::Horizontal ? step.y() : step.x());
    }
    return travel;
}

void LineGraph::drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const {
    // A polyline that crosses the plot up to this many times costs little
    // and keeps its look; beyond, the folding makes it slow.
    constexpr double kFoldingCrossings = 32.0;
    QPen pen = painter->pen();
    const QCPAxis* keys = keyAxis();
    if (pen.style() != Qt::SolidLine || pen.color().alpha() == 0 || !keys) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    const Qt::Orientation orientation = keys->orientation();
    const QRect area = keys->axisRect()->rect();
    const double span = std::max(1, orientation == Qt::Horizontal ? area.height() : area.width());
    if (valueTravel(lines, orientation) <= kFoldingCrossings * span) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    applyDefaultAntialiasingHint(painter);
    // As QCustomPlot does on screen: a 1-pixel line is drawn cosmetic.
    if (!painter->modes().testFlag(QCPPainter::pmVectorized) && qFuzzyCompare(pen.widthF(), 1.0))
        pen.setWidth(0);
    pen.setCapStyle(Qt::FlatCap);
    painter->setPen(pen);
    painter->drawLines(segments(lines));
}

} // namespace tq
