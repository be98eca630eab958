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
//
// A series handed over with setSource() is drawn through the level-of-
// detail layer: each time the graph is drawn it takes the readings to draw
// for the visible range and the pixel columns of that drawing (the screen,
// a page, an image), so no copy of the whole series is kept here.

#include "LevelOfDetail.h"

#include <qcustomplot.h>

namespace tq {

class LineGraph : public QCPGraph {
    Q_OBJECT
  public:
    LineGraph(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // The series to draw: X in day counts (ascending), Y, and its gaps; the
    // arrays must live until the next setSource() or clearSource(). spline:
    // a smooth curve where the readings are few enough to tell apart.
    void setSource(TimeLine x, const float* y, int count, GapRule gaps, bool spline);
    void clearSource();
    // The source grew to count readings (see LevelOfDetail::extend).
    void extendSource(TimeLine x, const float* y, int count) { m_lod.extend(x, y, count); }
    bool hasSource() const { return m_hasSource; }
    const LevelOfDetail& levelOfDetail() const { return m_lod; }
    // Every visible reading is drawn while there are at most this many per
    // pixel column, else the four per column. A huge value draws every
    // reading (for comparing the two).
    void setExactPerColumn(int n) { m_exactPerColumn = n; }

    // The segments drawLinePlot draws for a solid pen: one per pair of
    // neighbouring points, none across a gap (a NaN or infinite point).
    static QVector<QLineF> segments(const QVector<QPointF>& points);
    // How far the line travels along the value axis, in pixels; a line
    // drawn once across has travelled about the plot's height.
    static double valueTravel(const QVector<QPointF>& points, Qt::Orientation keyOrientation);

  protected:
    void draw(QCPPainter* painter) override;
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;

  private:
    // Fills the plot's data with what is to be drawn now.
    void takeVisible();

    LevelOfDetail m_lod;
    bool m_hasSource = false;
    bool m_spline = false;
    int m_exactPerColumn = 4;
    std::vector<int> m_picked;
};

} // namespace tq
