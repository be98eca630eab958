#pragma once

// Everything a chart shows, held apart from QCustomPlot so the getters, the
// stored state and the tests need no screen.

#include "Chart.h"
#include "SeriesPoints.h"

#include <QColor>
#include <QString>
#include <QVector>
#include <map>

namespace tq {

// Limits that keep a hostile state block or a careless caller from asking
// for absurd amounts of memory.
constexpr int kMaxSubsets = 64;
constexpr int kMaxPoints = 16 * 1024 * 1024;
constexpr int kMaxAxes = 16;
constexpr int kMaxAnnotationIndex = 1 << 20;
constexpr int kMinTextSize = 10;
constexpr int kMaxTextSize = 400;

struct SeriesModel {
    SeriesPoints data; // X and Y of every point, possibly shared
    QString label;
    QColor color;
    int lineType = 9;
};

struct AxisModel {
    QString yLabel;
    bool manualY = false;
    double minY = 0.0;
    double maxY = 0.0;

    bool operator==(const AxisModel&) const = default;
};

struct VertLineModel {
    double x = 0.0;
    int type = Chart::LineThin;
    QColor color = Qt::black;
    QString text;
};

struct GraphAnnotationModel {
    double x = 0.0;
    double y = 0.0;
    int type = Chart::AnnotText;
    QString text;
    QColor color = Qt::black;

    // A text annotation without text is how the graph windows delete one.
    bool deleted() const { return type == Chart::AnnotText && text.isEmpty(); }
};

struct ChartModel {
    ChartModel();

    int points = 0;
    QVector<SeriesModel> series; // size is the subset count
    float nullY = Chart::kNullY;

    Chart::PlottingMethod plotting = Chart::PlottingMethod::Line;
    Chart::GridStyle grid = Chart::GridStyle::Dot;
    Chart::Zooming zooming = Chart::Zooming::None;
    Chart::PrintStyle printStyle = Chart::PrintStyle::Color;

    QString mainTitle;
    QString subTitle;
    QString xLabel;

    int workingAxis = 0;
    QVector<AxisModel> axes; // at least one; grows with the working axis
    bool manualX = false;
    double minX = 0.0;
    double maxX = 0.0;

    QVector<int> multiSubsets;
    QVector<double> proportions;
    bool separators = false;

    bool showVertLines = true;
    int lineTextSize = 100;
    std::map<int, VertLineModel> vertLines;

    bool showGraphAnnotations = true;
    int annotationTextSize = 100;
    std::map<int, GraphAnnotationModel> annotations;

    bool allowDataHotSpots = false;
    bool allowVertLineHotSpots = false;
    bool allowGraphAnnotHotSpots = false;
    int arrowCursor = Chart::ArrowNormal;

    int subsets() const { return static_cast<int>(series.size()); }
    void setSubsets(int n);
    void setPoints(int p);
    AxisModel& axis(int index); // grows the list as needed
    const AxisModel* axisOrNull(int index) const;

    // Stacked axes as drawn: how many axes, and which axis each series is on.
    int axisCount() const;
    int axisOfSubset(int subset) const;
    // Each axis's share of the height, every entry positive.
    QVector<double> effectiveProportions() const;
    double proportion(int axis) const;

    bool isNull(float y) const;
};

// Default colour of series i, so a new series is never invisible.
QColor defaultSeriesColor(int i);

} // namespace tq
