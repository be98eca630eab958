#pragma once

// A QCPGraph whose solid lines are drawn at the cost of their pixels.
//
// A wide polyline is stroked as one outline and filled as one polygon: the
// rasteriser's work then grows with how often the line folds back over
// itself inside a pixel column, which a long recording does hundreds of
// times in every column. The same points handed over as separate segments
// in one drawLines call cost what their pixels cost. Lines of at most a
// point a pixel column and dashed pens keep the polyline: the first fold
// too little to matter and show their joins, and a dash pattern must run on
// across the points instead of starting again at each one.

#include <qcustomplot.h>

namespace tq {

class LineGraph : public QCPGraph {
    Q_OBJECT
  public:
    LineGraph(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // The segments drawLinePlot draws for a solid pen: one per pair of
    // neighbouring points, none across a gap (a NaN or infinite point).
    static QVector<QLineF> segments(const QVector<QPointF>& points);

  protected:
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;
};

} // namespace tq
