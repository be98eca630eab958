#include "Chart.h"

#include "ChartPrivate.h"
#include "ChartTime.h"

#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tq {

Chart::Chart(QWidget* parent) : QWidget(parent), d(new ChartPrivate(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->plot);
    setMouseTracking(true);
}

Chart::~Chart() = default; // d is a child QObject

// --- series and points ------------------------------------------------------

void Chart::setSubsets(int n) {
    if (std::clamp(n, 1, kMaxSubsets) == d->m.subsets()) return;
    d->m.setSubsets(n);
    d->structureDirty = true;
    ++d->revision;
}

int Chart::subsets() const {
    return d->m.subsets();
}

void Chart::setPoints(int p) {
    d->m.setPoints(p);
    d->markDataChanged();
}

int Chart::points() const {
    return d->m.points;
}

void Chart::resetPoints() {
    for (SeriesModel& s : d->m.series)
        s.data.fill(0.0, d->m.nullY);
    d->markDataChanged();
}

void Chart::setXData(TimeLine x, int count) {
    if (x.isNull() || count <= 0) return;
    d->m.series[0].data.copyX(x, count);
    d->markDataChanged();
}

void Chart::setYData(const float* y, int count) {
    if (!y || count <= 0) return;
    d->m.series[0].data.copyY(y, count);
    d->markDataChanged();
}

void Chart::shareData(int subset, std::shared_ptr<const void> owner, TimeLine x, const float* y, int count) {
    if (subset < 0 || subset >= d->m.subsets() || x.isNull() || !y || count < 0 || count > kMaxPoints) return;
    if (count != d->m.points) d->m.setPoints(count);
    d->m.series[subset].data.share(std::move(owner), x, y, count);
    d->markDataChanged();
}

bool Chart::extendSharedData(int count, TimeLine x, const std::vector<const float*>& ys) {
    ChartModel& m = d->m;
    if (x.isNull() || count < m.points || count > kMaxPoints || int(ys.size()) != m.subsets()) return false;
    for (int s = 0; s < m.subsets(); ++s)
        if (!m.series[s].data.viewing() || !ys[size_t(s)]) return false;
    const int old = m.points;
    for (int s = 0; s < m.subsets(); ++s)
        m.series[s].data.extend(x, ys[size_t(s)], count);
    m.points = count;
    d->markDataGrown(old);
    return true;
}

TimeLine Chart::xData(int subset) const {
    return subset >= 0 && subset < d->m.subsets() && d->m.points > 0 ? d->m.series[subset].data.x()
                                                                     : TimeLine();
}

const float* Chart::yData(int subset) const {
    return subset >= 0 && subset < d->m.subsets() && d->m.points > 0 ? d->m.series[subset].data.y() : nullptr;
}

quint64 Chart::dataRevision() const {
    return d->revision;
}

static bool inData(const ChartModel& m, int subset, int point) {
    return subset >= 0 && subset < m.subsets() && point >= 0 && point < m.points;
}

double Chart::x(int subset, int point) const {
    return inData(d->m, subset, point) ? d->m.series[subset].data.xAt(point) : 0.0;
}

float Chart::y(int subset, int point) const {
    return inData(d->m, subset, point) ? d->m.series[subset].data.yAt(point) : d->m.nullY;
}

void Chart::setX(int subset, int point, double v) {
    if (!inData(d->m, subset, point)) return;
    d->m.series[subset].data.setX(point, v);
    d->markDataChanged();
}

void Chart::setY(int subset, int point, float v) {
    if (!inData(d->m, subset, point)) return;
    d->m.series[subset].data.setY(point, v);
    d->markDataChanged();
}

void Chart::setNullValueY(float v) {
    d->m.nullY = v;
    d->markDataChanged();
}

float Chart::nullValueY() const {
    return d->m.nullY;
}

void Chart::setElapsedTimeAxis(bool on) {
    d->elapsedX = on;
    d->plotDirty = true;
}

bool Chart::elapsedTimeAxis() const {
    return d->elapsedX;
}

void Chart::setOutOfRangeLimitY(float limit) {
    if (std::isnan(limit) || limit < 0.0f) return;
    d->limitY = limit;
    d->markDataChanged();
}

float Chart::outOfRangeLimitY() const {
    return d->limitY;
}

void Chart::setValueBands(const QVector<ValueBand>& bands) {
    d->bands.clear();
    for (const ValueBand& b : bands)
        if (!std::isnan(b.from) && !std::isnan(b.to)) d->bands.append(b);
    d->markDataChanged();
}

QVector<Chart::ValueBand> Chart::valueBands() const {
    return d->bands;
}

// --- series look --------------------------------------------------------------

void Chart::setSubsetLabel(int subset, const QString& label) {
    d->markPlotChanged();
    if (subset >= 0 && subset < d->m.subsets()) d->m.series[subset].label = label;
}

QString Chart::subsetLabel(int subset) const {
    return subset >= 0 && subset < d->m.subsets() ? d->m.series[subset].label : QString();
}

void Chart::setSubsetColor(int subset, const QColor& color) {
    d->markPlotChanged();
    if (subset >= 0 && subset < d->m.subsets() && color.isValid()) d->m.series[subset].color = color;
}

QColor Chart::subsetColor(int subset) const {
    return subset >= 0 && subset < d->m.subsets() ? d->m.series[subset].color : QColor();
}

void Chart::setSubsetLineType(int subset, int type) {
    d->markPlotChanged();
    if (subset >= 0 && subset < d->m.subsets()) d->m.series[subset].lineType = type;
}

int Chart::subsetLineType(int subset) const {
    return subset >= 0 && subset < d->m.subsets() ? d->m.series[subset].lineType : 0;
}

void Chart::setPlottingMethod(PlottingMethod m) {
    if (m == d->m.plotting || static_cast<int>(m) < 0 || static_cast<int>(m) > 5) return;
    d->m.plotting = m;
    d->structureDirty = true;
}

Chart::PlottingMethod Chart::plottingMethod() const {
    return d->m.plotting;
}

void Chart::setGridStyle(GridStyle s) {
    d->markPlotChanged();
    if (static_cast<int>(s) >= 0 && static_cast<int>(s) <= 3) d->m.grid = s;
}

Chart::GridStyle Chart::gridStyle() const {
    return d->m.grid;
}

// --- titles and axes ----------------------------------------------------------

void Chart::setMainTitle(const QString& t) {
    d->markPlotChanged();
    d->m.mainTitle = t;
}
QString Chart::mainTitle() const {
    return d->m.mainTitle;
}
void Chart::setSubTitle(const QString& t) {
    d->markPlotChanged();
    d->m.subTitle = t;
}
QString Chart::subTitle() const {
    return d->m.subTitle;
}
void Chart::setXAxisLabel(const QString& t) {
    d->markPlotChanged();
    d->m.xLabel = t;
}
QString Chart::xAxisLabel() const {
    return d->m.xLabel;
}

void Chart::setWorkingAxis(int axis) {
    d->m.workingAxis = std::clamp(axis, 0, kMaxAxes - 1);
    d->m.axis(d->m.workingAxis);
}

int Chart::workingAxis() const {
    return d->m.workingAxis;
}

void Chart::setYAxisLabel(const QString& t) {
    d->markPlotChanged();
    d->m.axis(d->m.workingAxis).yLabel = t;
}

QString Chart::yAxisLabel() const {
    const AxisModel* a = d->m.axisOrNull(d->m.workingAxis);
    return a ? a->yLabel : QString();
}

void Chart::setManualY(double min, double max) {
    d->markPlotChanged();
    if (!std::isfinite(min) || !std::isfinite(max)) return;
    AxisModel& a = d->m.axis(d->m.workingAxis);
    a.manualY = true;
    a.minY = min;
    a.maxY = max;
}

void Chart::setAutoY() {
    d->markPlotChanged();
    d->m.axis(d->m.workingAxis).manualY = false;
}

bool Chart::manualY() const {
    const AxisModel* a = d->m.axisOrNull(d->m.workingAxis);
    return a && a->manualY;
}

double Chart::manualMinY() const {
    const AxisModel* a = d->m.axisOrNull(d->m.workingAxis);
    return a ? a->minY : 0.0;
}

double Chart::manualMaxY() const {
    const AxisModel* a = d->m.axisOrNull(d->m.workingAxis);
    return a ? a->maxY : 0.0;
}

void Chart::setManualX(double min, double max) {
    d->markPlotChanged();
    if (!std::isfinite(min) || !std::isfinite(max)) return;
    d->m.manualX = true;
    d->m.minX = min;
    d->m.maxX = max;
}

void Chart::setAutoX() {
    d->markPlotChanged();
    d->m.manualX = false;
}

bool Chart::manualX() const {
    return d->m.manualX;
}
double Chart::manualMinX() const {
    return d->m.minX;
}
double Chart::manualMaxX() const {
    return d->m.maxX;
}

void Chart::setMultiAxesSubsets(const QVector<int>& subsetsPerAxis) {
    d->markPlotChanged();
    const int before = d->m.axisCount();
    QVector<int> list = subsetsPerAxis.mid(0, kMaxAxes * 4);
    for (int& n : list)
        n = std::clamp(n, -1, kMaxSubsets);
    QVector<int> oldAxes;
    for (int s = 0; s < d->m.subsets(); ++s)
        oldAxes.append(d->m.axisOfSubset(s));
    d->m.multiSubsets = list;
    QVector<int> newAxes;
    for (int s = 0; s < d->m.subsets(); ++s)
        newAxes.append(d->m.axisOfSubset(s));
    if (before != d->m.axisCount() || oldAxes != newAxes) d->structureDirty = true;
}

QVector<int> Chart::multiAxesSubsets() const {
    return d->m.multiSubsets;
}

void Chart::setMultiAxesProportions(const QVector<double>& proportions) {
    d->markPlotChanged();
    QVector<double> list = proportions.mid(0, kMaxAxes * 4);
    for (double& p : list) {
        if (!std::isfinite(p)) p = 0.0; // an unusable share falls back to an equal one
    }
    d->m.proportions = list;
}

double Chart::multiAxesProportion(int axis) const {
    return d->m.proportion(axis);
}
int Chart::axisCount() const {
    return d->m.axisCount();
}
void Chart::setMultiAxesSeparators(bool thinLine) {
    d->markPlotChanged();
    d->m.separators = thinLine;
}
bool Chart::multiAxesSeparators() const {
    return d->m.separators;
}

int Chart::axisOfSubset(int subset) const {
    return d->m.axisOfSubset(subset);
}

// --- annotations --------------------------------------------------------------

void Chart::setShowVertLineAnnotations(bool on) {
    d->m.showVertLines = on;
}
bool Chart::showVertLineAnnotations() const {
    return d->m.showVertLines;
}

static VertLineModel* vertLineSlot(ChartModel& m, int index) {
    if (index < 0 || index >= kMaxAnnotationIndex) return nullptr;
    return &m.vertLines[index];
}

static const VertLineModel* findVertLine(const ChartModel& m, int index) {
    const auto it = m.vertLines.find(index);
    return it == m.vertLines.end() ? nullptr : &it->second;
}

void Chart::setVertLine(int index, double x) {
    if (VertLineModel* l = vertLineSlot(d->m, index)) l->x = x;
}

double Chart::vertLine(int index) const {
    const VertLineModel* l = findVertLine(d->m, index);
    return l ? l->x : 0.0;
}

void Chart::setVertLineType(int index, int type) {
    if (VertLineModel* l = vertLineSlot(d->m, index)) l->type = type;
}

int Chart::vertLineType(int index) const {
    const VertLineModel* l = findVertLine(d->m, index);
    return l ? l->type : LineThin;
}

void Chart::setVertLineColor(int index, const QColor& c) {
    if (!c.isValid()) return;
    if (VertLineModel* l = vertLineSlot(d->m, index)) l->color = c;
}

QColor Chart::vertLineColor(int index) const {
    const VertLineModel* l = findVertLine(d->m, index);
    return l ? l->color : QColor(Qt::black);
}

void Chart::setVertLineText(int index, const QString& text) {
    if (VertLineModel* l = vertLineSlot(d->m, index)) l->text = text;
}

QString Chart::vertLineText(int index) const {
    const VertLineModel* l = findVertLine(d->m, index);
    return l ? l->text : QString();
}

void Chart::setLineAnnotationTextSize(int percent) {
    d->m.lineTextSize = std::clamp(percent, kMinTextSize, kMaxTextSize);
}

int Chart::lineAnnotationTextSize() const {
    return d->m.lineTextSize;
}

void Chart::setShowGraphAnnotations(bool on) {
    d->markPlotChanged();
    d->m.showGraphAnnotations = on;
}
bool Chart::showGraphAnnotations() const {
    return d->m.showGraphAnnotations;
}

void Chart::setGraphAnnotation(int index, double x, double y, int type, const QString& text,
                               const QColor& color) {
    d->markPlotChanged();
    if (index < 0 || index >= kMaxAnnotationIndex) return;
    GraphAnnotationModel& a = d->m.annotations[index];
    a.x = x;
    a.y = y;
    a.type = type;
    a.text = text;
    a.color = color.isValid() ? color : QColor(Qt::black);
}

static const GraphAnnotationModel* findAnnotation(const ChartModel& m, int index) {
    const auto it = m.annotations.find(index);
    return it == m.annotations.end() ? nullptr : &it->second;
}

double Chart::graphAnnotationX(int index) const {
    const auto* a = findAnnotation(d->m, index);
    return a ? a->x : 0.0;
}

double Chart::graphAnnotationY(int index) const {
    const auto* a = findAnnotation(d->m, index);
    return a ? a->y : 0.0;
}

int Chart::graphAnnotationType(int index) const {
    const auto* a = findAnnotation(d->m, index);
    return a ? a->type : AnnotText;
}

QString Chart::graphAnnotationText(int index) const {
    const auto* a = findAnnotation(d->m, index);
    return a ? a->text : QString();
}

QColor Chart::graphAnnotationColor(int index) const {
    const auto* a = findAnnotation(d->m, index);
    return a ? a->color : QColor(Qt::black);
}

int Chart::graphAnnotationCount() const {
    return d->m.annotations.empty() ? 0 : d->m.annotations.rbegin()->first + 1;
}

void Chart::setGraphAnnotationTextSize(int percent) {
    d->markPlotChanged();
    d->m.annotationTextSize = std::clamp(percent, kMinTextSize, kMaxTextSize);
}

int Chart::graphAnnotationTextSize() const {
    return d->m.annotationTextSize;
}

// --- hot spots, zoom, mouse ---------------------------------------------------

void Chart::setAllowDataHotSpots(bool on) {
    d->m.allowDataHotSpots = on;
}
bool Chart::allowDataHotSpots() const {
    return d->m.allowDataHotSpots;
}
void Chart::setAllowVertLineAnnotHotSpots(bool on) {
    d->m.allowVertLineHotSpots = on;
}
bool Chart::allowVertLineAnnotHotSpots() const {
    return d->m.allowVertLineHotSpots;
}
void Chart::setAllowGraphAnnotHotSpots(bool on) {
    d->m.allowGraphAnnotHotSpots = on;
}
bool Chart::allowGraphAnnotHotSpots() const {
    return d->m.allowGraphAnnotHotSpots;
}

void Chart::setZooming(Zooming z) {
    if (static_cast<int>(z) >= 0 && static_cast<int>(z) <= 3) d->m.zooming = z;
}

Chart::Zooming Chart::zooming() const {
    return d->m.zooming;
}
bool Chart::isZoomed() const {
    return d->zoomed;
}
void Chart::undoZoom() {
    d->undoZoom();
}

QPoint Chart::lastMousePos() const {
    return d->lastMouse;
}

QRect Chart::plotRect() const {
    if (d->rects.isEmpty()) d->redraw(); // geometry exists only once the plot has been laid out
    const QRect r = d->plotUnion();
    return r.translated(d->plot->pos());
}

QPointF Chart::pixelToValue(const QPoint& px, int axis) const {
    if (d->rects.isEmpty()) d->redraw();
    const QCPAxisRect* r = d->rectOf(axis) ? d->rectOf(axis) : d->rectOf(0);
    const QPoint p = px - d->plot->pos();
    return {axisToDays(r->axis(QCPAxis::atBottom)->pixelToCoord(p.x())),
            r->axis(QCPAxis::atLeft)->pixelToCoord(p.y())};
}

QPoint Chart::valueToPixel(double x, double y, int axis) const {
    if (d->rects.isEmpty()) d->redraw();
    const QCPAxisRect* r = d->rectOf(axis) ? d->rectOf(axis) : d->rectOf(0);
    const double px = r->axis(QCPAxis::atBottom)->coordToPixel(daysToAxis(x));
    const double py = r->axis(QCPAxis::atLeft)->coordToPixel(y);
    // Far-off values land far outside the widget rather than overflowing.
    auto toInt = [](double v) {
        return std::isfinite(v) ? int(std::lround(std::clamp(v, -1e8, 1e8))) : -100000000;
    };
    return QPoint(toInt(px), toInt(py)) + d->plot->pos();
}

void Chart::setArrowCursor(int arrow) {
    if (arrow != ArrowNormal && arrow != ArrowText) return;
    d->m.arrowCursor = arrow;
    d->applyCursor();
}

void Chart::setCustomCursor(const QCursor& c) {
    d->baseCursor = c;
    d->m.arrowCursor = ArrowCustom;
    d->applyCursor();
}

int Chart::arrowCursor() const {
    return d->m.arrowCursor;
}

// --- drawing ------------------------------------------------------------------

void Chart::redraw() {
    d->redraw();
}

void Chart::invalidateImage() {
    if (d->rects.isEmpty() || d->structureDirty || d->dataDirty || d->plotDirty || d->grownFrom >= 0)
        d->redraw();
    else
        d->invalidateCursors();
}

void Chart::reinitAndReset() {
    d->structureDirty = true;
    d->redraw();
}

QCustomPlot* Chart::plot() const {
    return d->plot;
}

} // namespace tq
