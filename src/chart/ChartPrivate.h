#pragma once

// The chart's inner state: the model, the QCustomPlot objects it is drawn
// with, and the state of a mouse gesture.

#include "Chart.h"
#include "ChartModel.h"

#include <QObject>
#include <QVector>
#include <functional>
#include <limits>
#include <optional>

#include <qcustomplot.h>

class QRubberBand;

namespace tq {

class VertLineLayer;
class AnnotationLayer;
class BandLayer;

class ChartPrivate : public QObject {
    Q_OBJECT
  public:
    explicit ChartPrivate(Chart* chart);

    Chart* q;
    ChartModel m;
    QCustomPlot* plot = nullptr;
    QCPTextElement* title = nullptr;
    QCPTextElement* subTitle = nullptr;
    QCPLayoutGrid* column = nullptr; // the stacked axis rects
    QCPMarginGroup* marginGroup = nullptr;
    QVector<QCPAxisRect*> rects;
    QVector<QCPAbstractPlottable*> plottables; // one per series
    QCPLayer* cursorLayer = nullptr;
    VertLineLayer* vertLines = nullptr;
    AnnotationLayer* annotations = nullptr;
    BandLayer* bandLayer = nullptr;
    QVector<Chart::ValueBand> bands; // not part of the stored state
    QRubberBand* band = nullptr;
    QCursor baseCursor{Qt::ArrowCursor};

    bool structureDirty = true;
    quint64 revision = 1; // of the points, see Chart::dataRevision()
    bool dataDirty = true;
    // The points grew from this count on (extendSharedData), -1: they did
    // not; the next redraw extends the summaries instead of building them.
    int grownFrom = -1;
    // Something drawn on the data layers changed (styles, titles, ranges,
    // graph annotations): invalidateImage() must then redraw them too.
    bool plotDirty = true;
    bool mono = false; // drawing for a monochrome print
    // Values beyond +-limitY are marks, not readings: drawn as gaps and
    // left out of the automatic ranges. Not part of the stored state.
    float limitY = std::numeric_limits<float>::infinity();
    // X values count days since a start, labelled as hours and minutes.
    // Not part of the stored state.
    bool elapsedX = false;

    // Ranges (day counts for X) found in the data, refreshed with the data.
    QCPRange autoX{0.0, 1.0};
    QVector<QCPRange> autoY;

    bool zoomed = false;
    QCPRange zoomX;
    QVector<std::optional<QCPRange>> zoomY;

    // Mouse gesture.
    QPoint lastMouse;
    QPoint pressPos;
    bool pressed = false;
    bool moved = false;
    bool onLine = false;      // the press hit a vertical line: no zoom frame
    bool afterDouble = false; // the release that ends a double click
    int pressRect = -1;
    int hoverAnnotation = -1;
    bool hoverLine = false;

    bool lastDialogResult = false;

    static std::function<bool(QDialog&)>& dialogHandler();

    void redraw();
    // Brings the plot up to date with the model, redrawing only when
    // something changed (before an export, which draws it anew anyway).
    void settle();
    void rebuildStructure();
    void computeAutoRanges();
    void applyRanges();
    void pushData();
    void applyStyles();
    void invalidateCursors();
    void markDataChanged();
    void markDataGrown(int oldPoints);
    // Extends the graphs' summaries over grown points; false when only a
    // new build will do (a series out of order, bars, no summaries).
    bool extendData();
    void markPlotChanged() { plotDirty = true; }
    // A point drawn as a gap: the null value, not a number, or a mark.
    bool isGap(float y) const { return m.isNull(y) || y > limitY || y < -limitY; }

    QRect plotUnion() const;
    int rectAt(const QPoint& pos) const;
    QCPAxisRect* rectOf(int axis) const;
    double dayToPixelX(double days) const;

    int vertLineAt(const QPoint& pos) const;
    int annotationAt(const QPoint& pos) const;
    int dataPointAt(const QPoint& pos) const;

    void applyZoom(const QRect& frame);
    void undoZoom();
    void applyCursor();
    void setAxisRange(QCPAxis* axis, QCPRange range);

    int runDialog(QDialog& dialog);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void mousePress(QMouseEvent* e);
    void mouseDouble(QMouseEvent* e);
    void mouseMove(QMouseEvent* e);
    void mouseRelease(QMouseEvent* e);
    void emitHotSpots(const QPoint& pos, bool dblClick);
    QRect zoomFrame(const QPoint& to) const;
};

} // namespace tq
