#pragma once

// The chart's own drawings on top of the data: vertical line annotations
// (on a buffered layer of their own, so moving a cursor repaints only them)
// and graph annotations (crosses and texts at an X, Y point of axis 0);
// and below it, the value bands of the axes.

#include <qcustomplot.h>

namespace tq {

class ChartPrivate;
struct GraphAnnotationModel;

class VertLineLayer : public QCPLayerable {
  public:
    VertLineLayer(QCustomPlot* plot, const QString& layer, ChartPrivate* d);

  protected:
    QRect clipRect() const override;
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

  private:
    ChartPrivate* d;
};

class AnnotationLayer : public QCPLayerable {
  public:
    AnnotationLayer(QCustomPlot* plot, const QString& layer, ChartPrivate* d);

    // Where annotation a is drawn, in plot pixels (empty when not drawn).
    static QRectF hitBox(const ChartPrivate* d, const GraphAnnotationModel& a);

  protected:
    QRect clipRect() const override;
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

  private:
    ChartPrivate* d;
};

// The value bands of each axis, below the grid and the data.
class BandLayer : public QCPLayerable {
  public:
    BandLayer(QCustomPlot* plot, const QString& layer, ChartPrivate* d);

  protected:
    QRect clipRect() const override;
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

  private:
    ChartPrivate* d;
};

// Font for annotation texts at a size in percent of the normal text.
QFont annotationFont(int percent);

} // namespace tq
