#include "LineGraph.h"

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

void LineGraph::drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const {
    QPen pen = painter->pen();
    // A line with at most a point a pixel column folds little and shows its
    // joins: it keeps the polyline. Denser ones (QCustomPlot's sampling
    // leaves two to four points a column, however long the recording) are
    // drawn as segments.
    const int columns = keyAxis() ? keyAxis()->axisRect()->width() : 0;
    if (pen.style() != Qt::SolidLine || pen.color().alpha() == 0 || lines.size() <= qMax(1, columns)) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    applyDefaultAntialiasingHint(painter);
    // As QCustomPlot does on screen: a 1-pixel line is drawn cosmetic.
    if (!painter->modes().testFlag(QCPPainter::pmVectorized) && qFuzzyCompare(pen.widthF(), 1.0))
        pen.setWidth(0);
    // Flat ends meet as the polyline's joins did: the segments of a dense
    // line turn within a fraction of a pixel.
    pen.setCapStyle(Qt::FlatCap);
    painter->setPen(pen);
    painter->drawLines(segments(lines));
}

} // namespace tq
