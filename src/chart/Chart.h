#pragma once

// The chart component every graph window draws with: our own interface,
// drawn by QCustomPlot. X values are day counts (tq::TDateTime), Y values
// 32-bit floats; a Y equal to the null value (9999.0) is not drawn.

#include "ReadingMarks.h"
#include "TimeLine.h"

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QVector>
#include <QWidget>

#include <functional>
#include <memory>

class QDialog;
class QPainter;
class QPrinter;
class QCustomPlot;

namespace tq {

class ChartPrivate;

class Chart : public QWidget {
    Q_OBJECT
  public:
    enum class PlottingMethod { Line = 0, Spline = 1, Points = 2, PointsPlusLine = 3, Bar = 4, Area = 5 };
    enum class GridStyle { Dot = 0, Solid = 1, Dash = 2, None = 3 };
    enum class Zooming { None = 0, Horizontal = 1, Vertical = 2, HorzPlusVert = 3 };
    enum class PrintStyle { Color = 0, Mono = 1 };
    // Graph annotation types used by the graph windows.
    enum GraphAnnotationType { AnnotText = 0, AnnotCross = 2 };
    // Vertical line types used by the graph windows.
    enum VertLineType { LineThin = 0, LineCursor = 5 };
    // Pointer shapes: ArrowNormal, ArrowText, or a custom cursor.
    enum ArrowCursor { ArrowNormal = 1, ArrowText = 2, ArrowCustom = 3 };

    static constexpr float kNullY = kNullReading;

    explicit Chart(QWidget* parent = nullptr);
    ~Chart() override;

    // --- series and points -------------------------------------------------
    void setSubsets(int n); // number of series, >= 1
    int subsets() const;
    void setPoints(int p); // points per series; new points get X 0 and the null Y
    int points() const;
    // Every point of every series back to X 0.0 and Y = null value.
    void resetPoints();
    // Fill the first count points of series 0 (count clamped to points()).
    void setXData(TimeLine x, int count);
    void setYData(const float* y, int count);
    // Series subset takes count points (count becomes points()) as a view
    // into arrays that owner keeps alive, instead of copying them: readings
    // held once, by whoever holds them and by every chart showing them. A
    // later change of a point through the chart copies them first.
    // A recording run at a fixed interval shares no array of times: x is
    // its start and interval.
    void shareData(int subset, std::shared_ptr<const void> owner, TimeLine x, const float* y, int count);
    // Every series views arrays someone else keeps (shareData), all with
    // the X array x: they grew to count points, the earlier ones unchanged
    // (the arrays may have moved). Much cheaper than sharing them again: the
    // level-of-detail summaries are extended. False, changing nothing, when
    // a series does not view arrays or the count shrank.
    bool extendSharedData(int count, TimeLine x, const std::vector<const float*>& ys);
    // The points() X and Y values of a series (null for none or a bad
    // subset), valid until the data next changes (dataRevision()).
    TimeLine xData(int subset) const;
    const float* yData(int subset) const;
    // Changes whenever the points or their count may have changed.
    quint64 dataRevision() const;
    double x(int subset, int point) const; // 0.0 outside the data
    float y(int subset, int point) const;  // null value outside the data
    void setX(int subset, int point, double v);
    void setY(int subset, int point, float v);
    void setNullValueY(float v);
    float nullValueY() const;
    // Values above limit or below -limit are marks of a reading out of
    // range, not readings: drawn as gaps, like the null value, and left
    // out of the automatic value range. The values themselves are kept.
    // No limit (infinity) until set; not part of the stored state.
    void setOutOfRangeLimitY(float limit);
    float outOfRangeLimitY() const;

    // Horizontal zones of a stacked axis (a report's or a trend's limits):
    // Y from ... to (either may be infinite, meaning the edge of the plot),
    // filled with color, a line along each finite bound. The finite bounds
    // join the automatic value range so they stay in view. Not part of the
    // stored state.
    struct ValueBand {
        double from = 0.0;
        double to = 0.0;
        QColor color;
        int axis = 0;
    };
    void setValueBands(const QVector<ValueBand>& bands);
    QVector<ValueBand> valueBands() const;

    // X values as time since a start (day counts from 0), labelled in hours
    // and minutes, instead of dates and times. Not part of the stored state.
    void setElapsedTimeAxis(bool on);
    bool elapsedTimeAxis() const;

    // --- series look -------------------------------------------------------
    void setSubsetLabel(int subset, const QString& label);
    QString subsetLabel(int subset) const;
    void setSubsetColor(int subset, const QColor& color);
    QColor subsetColor(int subset) const;
    void setSubsetLineType(int subset, int type);
    int subsetLineType(int subset) const;
    void setPlottingMethod(PlottingMethod m);
    PlottingMethod plottingMethod() const;
    void setGridStyle(GridStyle s);
    GridStyle gridStyle() const;

    // --- titles and axes ---------------------------------------------------
    void setMainTitle(const QString& t);
    QString mainTitle() const;
    void setSubTitle(const QString& t);
    QString subTitle() const;
    void setXAxisLabel(const QString& t);
    QString xAxisLabel() const;
    // Per-axis settings apply to the working axis (0 = top axis).
    void setWorkingAxis(int axis);
    int workingAxis() const;
    void setYAxisLabel(const QString& t);
    QString yAxisLabel() const;
    void setManualY(double min, double max); // manual Y range on the working axis
    void setAutoY();                         // automatic Y range on the working axis
    bool manualY() const;
    double manualMinY() const;
    double manualMaxY() const;
    void setManualX(double min, double max); // manual X range (day counts)
    void setAutoX();                         // the X range of the data again
    bool manualX() const;
    double manualMinX() const;
    double manualMaxX() const;

    // Stacked axes: subsetsPerAxis[i] is how many consecutive series axis i
    // shows (e.g. {1, 1}); an empty list or {-1} puts every series on one
    // axis. proportions[i] is axis i's share of the height, relative to
    // the sum of all shares ({0.25, 0.25} gives two equal axes).
    void setMultiAxesSubsets(const QVector<int>& subsetsPerAxis);
    QVector<int> multiAxesSubsets() const;
    void setMultiAxesProportions(const QVector<double>& proportions);
    double multiAxesProportion(int axis) const; // 1.0 for a single axis
    int axisCount() const;
    void setMultiAxesSeparators(bool thinLine);
    bool multiAxesSeparators() const;
    int axisOfSubset(int subset) const; // the stacked axis a series is drawn on

    // --- annotations -------------------------------------------------------
    void setShowVertLineAnnotations(bool on);
    bool showVertLineAnnotations() const;
    void setVertLine(int index, double x);
    double vertLine(int index) const;
    void setVertLineType(int index, int type);
    int vertLineType(int index) const;
    void setVertLineColor(int index, const QColor& c);
    QColor vertLineColor(int index) const;
    void setVertLineText(int index, const QString& text);
    QString vertLineText(int index) const;
    void setLineAnnotationTextSize(int percent); // clamped to 10..400
    int lineAnnotationTextSize() const;

    void setShowGraphAnnotations(bool on);
    bool showGraphAnnotations() const;
    void setGraphAnnotation(int index, double x, double y, int type, const QString& text,
                            const QColor& color);
    double graphAnnotationX(int index) const;
    double graphAnnotationY(int index) const;
    int graphAnnotationType(int index) const;
    QString graphAnnotationText(int index) const;
    QColor graphAnnotationColor(int index) const;
    int graphAnnotationCount() const;             // highest index in use + 1
    void setGraphAnnotationTextSize(int percent); // clamped to 10..400
    int graphAnnotationTextSize() const;

    // --- hot spots, zoom, mouse --------------------------------------------
    void setAllowDataHotSpots(bool on);
    bool allowDataHotSpots() const;
    void setAllowVertLineAnnotHotSpots(bool on);
    bool allowVertLineAnnotHotSpots() const;
    void setAllowGraphAnnotHotSpots(bool on);
    bool allowGraphAnnotHotSpots() const;
    void setZooming(Zooming z);
    Zooming zooming() const;
    bool isZoomed() const;
    void undoZoom(); // back to the range before the first zoom

    QPoint lastMousePos() const; // last pointer position over the chart, widget pixels
    QRect plotRect() const;      // the plotting rectangle, widget pixels
    QPointF pixelToValue(const QPoint& px, int axis = 0) const; // (X day count, Y on axis)
    QPoint valueToPixel(double x, double y, int axis = 0) const;
    void setArrowCursor(int arrow); // ArrowNormal or ArrowText
    void setCustomCursor(const QCursor& c);
    int arrowCursor() const;

    // --- drawing -----------------------------------------------------------
    void redraw(); // rebuild the plot from the model and repaint
    // Repaints what changed since the last redraw: only the layer of the
    // vertical lines when nothing but they changed (a cursor or the marker
    // moved), else the whole plot as redraw() does.
    void invalidateImage();
    void reinitAndReset(); // re-apply axes layout, ranges and styles

    // The chart's own customisation dialog (titles, axis labels, series
    // labels, colours, line types, plotting method, grid style). Emits
    // customizeDlg(accepted) when it ends; returns accepted.
    bool customize();
    bool lastDialogResult() const;

    // Replaces running the chart's modal dialogs (customisation, print):
    // the handler gets the dialog, may fill it in, and returns whether it
    // was accepted. Reset with an empty function. For tests.
    using DialogHandler = std::function<bool(QDialog&)>;
    static void setDialogHandler(DialogHandler handler);

    // Printing: the print dialog of the platform, then the chart on the page.
    void setPrintStyle(PrintStyle s);
    PrintStyle printStyle() const;
    bool printDialog();
    // The printer printDialog() offers, shared by every chart; the program
    // may hand over its own so printer setup and printing agree.
    static QPrinter* sharedPrinter();
    static void setSharedPrinter(QPrinter* printer); // not owned; nullptr = the chart's own
    void printTo(QPrinter* printer);                 // no dialog
    QImage renderImage(const QSize& size);
    // Draws the chart, laid out for size pixels, into target on any painter
    // (a PDF or SVG page stays vector graphics).
    void render(QPainter& painter, const QRectF& target, const QSize& size);

    // --- state -------------------------------------------------------------
    // The whole chart state (series, points, X and Y data, null value, labels,
    // titles, colours, line types, styles, axes and ranges, multi-axis
    // settings, annotations, flags) in a versioned binary block.
    QByteArray storeState() const;
    // The same state without any point (0 points per series): what a graph
    // template keeps. Never encodes the points it leaves out.
    QByteArray storeStyle() const;
    // Replaces the whole state from such a block. On bad input returns false,
    // sets *error to a clear text and leaves the chart unchanged.
    bool loadState(const QByteArray& block, QString* error = nullptr);

    QCustomPlot* plot() const; // for tests and benchmarks

  signals:
    void clicked(); // button released without a drag
    void mouseMoved();
    void mouseReleased();
    void dataHotSpot(bool dblClick, int subset, int point);
    void vertLineAnnotHotSpot(bool dblClick, int index); // press on a vertical line
    void graphAnnotHotSpot(bool dblClick, int index);
    void graphHotSpot(); // pointer over a graph annotation
    void zoomIn();
    void customizeDlg(bool accepted);

  private:
    ChartPrivate* d;
};

} // namespace tq
