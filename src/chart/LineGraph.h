#pragma once

// A QCPGraph whose solid lines are drawn at the cost of their pixels.
//
// A wide polyline is stroked as one outline and filled as one polygon: the
// rasteriser's work then grows with how often the line folds back over
// itself, which a long recording does in every pixel column. The same
// points handed over as separate segments in one drawLines call cost what
// their pixels cost. Only such folding lines are drawn so: their segments
// are long strokes up and down whose flat ends meet as the polyline's
// joins did. A line that folds little keeps the polyline (its short
// segments would show seams where their antialiased ends meet), and so do
// dashed pens, whose pattern must run on across the points instead of
// starting again at each one.

#include <qcustomplot.h>

namespace tq {

class LineGraph : public QCPGraph {
    Q_OBJECT
  public:
    LineGraph(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // The segments drawLinePlot draws for a solid pen: one per pair of
    // neighbouring points, none across a gap (a NaN or infinite point).
    static QVector<QLineF> segments(const QVector<QPointF>& points);
    // How far the line travels along the value axis, in pixels; a line
    // drawn once across has travelled about the plot's height.
    static double valueTravel(const QVector<QPointF>& points, Qt::Orientation keyOrientation);

  protected:
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;
};

} // namespace tq
