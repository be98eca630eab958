#include "LineGraph.h"

#include <algorithm>
#include <cmath>

namespace tq {

namespace {
bool drawable(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}
} // namespace

LineGraph::LineGraph(QCPAxis* keyAxis, QCPAxis* valueAxis) : QCPGraph(keyAxis, valueAxis) {}

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
