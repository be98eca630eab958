#include "ChartPrivate.h"

#include "DialogRunner.h"

#include "ChartLayers.h"
#include "ChartTime.h"
#include "LineGraph.h"
#include "LineStyles.h"

#include <Regional.h>

#include <QFontMetrics>
#include <QRubberBand>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tq {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool ascending(TimeLine x, int n) {
    // A run's times are its start plus multiples of its interval.
    if (x.isRegular()) return n == 0 || (std::isfinite(x[0]) && std::isfinite(x[n - 1]) && x[n - 1] >= x[0]);
    for (int i = 1; i < n; ++i) {
        // Written so that a non-number counts as out of order.
        if (!(x[i] >= x[i - 1])) return false;
    }
    return n == 0 || (std::isfinite(x[0]) && std::isfinite(x[n - 1]));
}

// Widens an empty or inverted range so the axis can show it.
QCPRange usable(QCPRange r, double pad) {
    if (!std::isfinite(r.lower) || !std::isfinite(r.upper)) return QCPRange(0.0, 1.0);
    r.normalize();
    if (r.upper - r.lower <= 0.0) r = QCPRange(r.lower - pad, r.upper + pad);
    return r;
}

} // namespace

ChartPrivate::ChartPrivate(Chart* chart) : QObject(chart), q(chart) {
    plot = new QCustomPlot(chart);
    plot->setObjectName(QStringLiteral("chartPlot"));
    plot->setMouseTracking(true);
    plot->installEventFilter(this);
    plot->setInteractions(QCP::Interactions());
    plot->setNoAntialiasingOnDrag(true);
    plot->setPlottingHint(QCP::phCacheLabels, true);
    plot->setBackground(Qt::white);

    // Layout: main title, subtitle, the column of stacked axes, the legend.
    // The legend lives in the default axis rect; keep it before clearing.
    plot->axisRect()->insetLayout()->take(plot->legend);
    plot->plotLayout()->clear();
    title = new QCPTextElement(plot, QString(), QFont(QFont().family(), 12, QFont::Bold));
    subTitle = new QCPTextElement(plot, QString(), QFont(QFont().family(), 9));
    column = new QCPLayoutGrid;
    plot->plotLayout()->addElement(0, 0, title);
    plot->plotLayout()->addElement(1, 0, subTitle);
    plot->plotLayout()->addElement(2, 0, column);
    // The legend sits centred under the axes, between two stretching spacers.
    auto* legendRow = new QCPLayoutGrid;
    legendRow->addElement(0, 0, new QCPLayoutElement(plot));
    legendRow->addElement(0, 1, plot->legend);
    legendRow->addElement(0, 2, new QCPLayoutElement(plot));
    legendRow->setColumnStretchFactors({1.0, 0.001, 1.0});
    plot->plotLayout()->addElement(3, 0, legendRow);
    plot->plotLayout()->setRowSpacing(0);
    plot->plotLayout()->setRowStretchFactors({0.001, 0.001, 1.0, 0.001});
    plot->legend->setVisible(true);
    plot->legend->setFillOrder(QCPLegend::foColumnsFirst);
    plot->legend->setBorderPen(Qt::NoPen);
    plot->legend->setMargins(QMargins(4, 0, 4, 2));
    marginGroup = new QCPMarginGroup(plot);

    plot->addLayer(QStringLiteral("bands"), plot->layer(QStringLiteral("grid")), QCustomPlot::limBelow);
    bandLayer = new BandLayer(plot, QStringLiteral("bands"), this);
    plot->addLayer(QStringLiteral("annotations"), plot->layer(QStringLiteral("main")), QCustomPlot::limAbove);
    plot->addLayer(QStringLiteral("cursors"), plot->layer(QStringLiteral("overlay")), QCustomPlot::limAbove);
    cursorLayer = plot->layer(QStringLiteral("cursors"));
    cursorLayer->setMode(QCPLayer::lmBuffered);
    annotations = new AnnotationLayer(plot, QStringLiteral("annotations"), this);
    vertLines = new VertLineLayer(plot, QStringLiteral("cursors"), this);

    band = new QRubberBand(QRubberBand::Rectangle, plot);
    band->hide();
}

namespace {

// A date-time ticker that asks for no more ticks than the labels have room
// for: each label is a date over a time, and six of them on a narrow chart
// (or one of a few minutes, where the steps come out finer) ran into each
// other. The width comes from the plot's viewport, which is set before
// every layout, also for pictures and pages of another size.
class FittingDateTimeTicker : public QCPAxisTickerDateTime {
  public:
    static constexpr int kMostTicks = 6;

    explicit FittingDateTimeTicker(QCustomPlot* plot) : m_plot(plot) {}
    QCPAxis* axis = nullptr; // the bottom axis whose labels are drawn
    bool elapsed = false;    // label times since a start, "h:mm"

  protected:
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override {
        if (!elapsed) return QCPAxisTickerDateTime::getTickLabel(tick, locale, formatChar, precision);
        const qint64 s = std::llround(axisToDays(tick) * kDaySeconds);
        const qint64 a = std::abs(s);
        QString text = QStringLiteral("%1%2:%3")
                           .arg(s < 0 ? QStringLiteral("-") : QString())
                           .arg(a / 3600)
                           .arg(a / 60 % 60, 2, 10, QLatin1Char('0'));
        if (a % 60) text += QStringLiteral(":%1").arg(a % 60, 2, 10, QLatin1Char('0'));
        return text;
    }

    double getTickStep(const QCPRange& range) override {
        if (axis) {
            const QFontMetrics metrics(axis->tickLabelFont());
            int label = 0;
            const QString text = getTickLabel(range.center(), QLocale(), QLatin1Char('g'), 0);
            for (const QString& line : text.split(QLatin1Char('\n')))
                label = std::max(label, metrics.horizontalAdvance(line));
            // The axis leaves about 80 px of the viewport to the value axis
            // and margins; the picked step can come out up to 1.8 times
            // finer than asked for.
            const int room = std::max(0, m_plot->viewport().width() - 80);
            const int fit = label > 0 ? int(room / (1.8 * (label + 8))) : kMostTicks;
            mTickCount = std::clamp(fit, 1, kMostTicks);
        }
        return QCPAxisTickerDateTime::getTickStep(range);
    }

  private:
    QCustomPlot* m_plot;
};

} // namespace

std::function<bool(QDialog&)>& ChartPrivate::dialogHandler() {
    static std::function<bool(QDialog&)> handler;
    return handler;
}

int ChartPrivate::runDialog(QDialog& dialog) {
    if (const auto& h = dialogHandler()) return h(dialog) ? QDialog::Accepted : QDialog::Rejected;
    return tq::runDialog(dialog); // the program-wide dialog runner
}

void ChartPrivate::markDataChanged() {
    dataDirty = true;
    ++revision;
}

void ChartPrivate::markDataGrown(int oldPoints) {
    ++revision;
    grownFrom = grownFrom < 0 ? oldPoints : std::min(grownFrom, oldPoints);
}

bool ChartPrivate::extendData() {
    if (plottables.size() < m.subsets()) return false;
    for (int s = 0; s < m.subsets(); ++s) {
        auto* graph = qobject_cast<LineGraph*>(plottables[s]);
        const SeriesPoints& series = m.series[s].data;
        if (!graph || !graph->hasSource() || !series.viewing()) return false;
        const int from = std::max(0, grownFrom - 1);
        if (!ascending(series.x().from(from), m.points - from)) return false;
    }
    for (int s = 0; s < m.subsets(); ++s) {
        const SeriesPoints& series = m.series[s].data;
        static_cast<LineGraph*>(plottables[s])->extendSource(series.x(), series.y(), m.points);
    }
    computeAutoRanges();
    return true;
}

void ChartPrivate::redraw() {
    if (structureDirty) rebuildStructure();
    if (!dataDirty && grownFrom >= 0 && !extendData()) dataDirty = true;
    grownFrom = -1;
    if (dataDirty) {
        // The ranges come from the summaries the graphs build of the data.
        pushData();
        computeAutoRanges();
    }
    applyRanges();
    applyStyles();
    applyCursor();
    plotDirty = false;
    plot->replot();
}

void ChartPrivate::settle() {
    if (rects.isEmpty() || structureDirty || dataDirty || plotDirty || grownFrom >= 0) redraw();
}

void ChartPrivate::rebuildStructure() {
    plot->clearPlottables();
    plottables.clear();
    column->clear();
    rects.clear();
    const int n = m.axisCount();
    auto ticker = QSharedPointer<FittingDateTimeTicker>::create(plot);
    ticker->setDateTimeSpec(Qt::UTC);
    ticker->setTickCount(FittingDateTimeTicker::kMostTicks);
    for (int a = 0; a < n; ++a) {
        auto* r = new QCPAxisRect(plot);
        column->addElement(a, 0, r);
        r->setMarginGroup(QCP::msLeft | QCP::msRight, marginGroup);
        r->setMinimumMargins(QMargins(6, 6, 12, 6));
        r->axis(QCPAxis::atBottom)->setTicker(ticker);
        r->axis(QCPAxis::atBottom)->setLayer(QStringLiteral("axes"));
        r->axis(QCPAxis::atLeft)->setLayer(QStringLiteral("axes"));
        r->axis(QCPAxis::atBottom)->grid()->setLayer(QStringLiteral("grid"));
        r->axis(QCPAxis::atLeft)->grid()->setLayer(QStringLiteral("grid"));
        rects.append(r);
    }
    if (!rects.isEmpty()) ticker->axis = rects.last()->axis(QCPAxis::atBottom);
    // The stacked axes share one time range.
    for (QCPAxisRect* r : rects) {
        for (QCPAxisRect* other : rects) {
            if (other != r)
                connect(r->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::rangeChanged),
                        other->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::setRange));
        }
    }
    zoomY.resize(n);
    for (int s = 0; s < m.subsets(); ++s) {
        QCPAxisRect* r = rects[m.axisOfSubset(s)];
        QCPAxis* keyAxis = r->axis(QCPAxis::atBottom);
        QCPAxis* valueAxis = r->axis(QCPAxis::atLeft);
        if (m.plotting == Chart::PlottingMethod::Bar)
            plottables.append(new QCPBars(keyAxis, valueAxis));
        else
            plottables.append(new LineGraph(keyAxis, valueAxis));
    }
    structureDirty = false;
    dataDirty = true;
}

void ChartPrivate::computeAutoRanges() {
    double xMin = std::numeric_limits<double>::infinity(), xMax = -xMin;
    const int n = m.axisCount();
    QVector<double> yMin(n, std::numeric_limits<double>::infinity()),
        yMax(n, -std::numeric_limits<double>::infinity());
    const auto take = [&](int a, double x, float y) {
        xMin = std::min(xMin, x);
        xMax = std::max(xMax, x);
        yMin[a] = std::min<double>(yMin[a], y);
        yMax[a] = std::max<double>(yMax[a], y);
    };
    for (int s = 0; s < m.subsets(); ++s) {
        const SeriesPoints& series = m.series[s].data;
        const int a = m.axisOfSubset(s);
        if (series.uniform()) {
            if (m.points > 0 && !isGap(series.yAt(0)) && std::isfinite(series.xAt(0)))
                take(a, series.xAt(0), series.yAt(0));
            continue;
        }
        auto* graph = s < plottables.size() ? qobject_cast<LineGraph*>(plottables[s]) : nullptr;
        if (graph && graph->hasSource()) {
            // Ascending X: the extremes of the drawn readings and the first
            // and last of them, all from the top of the pyramid.
            const LevelOfDetail& lod = graph->levelOfDetail();
            const LevelOfDetail::Node all = lod.summary(0, lod.count());
            if (all.minAt >= 0) {
                take(a, lod.x()[all.firstAt], all.min);
                take(a, lod.x()[all.lastAt], all.max);
            }
            continue;
        }
        for (int i = 0; i < m.points; ++i) {
            const float y = series.y()[i];
            const double x = series.x()[i];
            // Points without a value (series 1 of a temperature-only chart
            // keeps X 0) must not stretch the time axis.
            if (isGap(y) || !std::isfinite(x)) continue;
            take(a, x, y);
        }
    }
    autoX = xMin <= xMax ? QCPRange(xMin, xMax) : QCPRange(0.0, 1.0);
    // Bands stay in view beside the data they are drawn over.
    for (const Chart::ValueBand& b : std::as_const(bands)) {
        if (b.axis < 0 || b.axis >= n || yMin[b.axis] > yMax[b.axis]) continue;
        for (const double edge : {b.from, b.to}) {
            if (!std::isfinite(edge)) continue;
            yMin[b.axis] = std::min(yMin[b.axis], edge);
            yMax[b.axis] = std::max(yMax[b.axis], edge);
        }
    }
    autoY.resize(n);
    for (int a = 0; a < n; ++a) {
        if (yMin[a] > yMax[a]) {
            autoY[a] = QCPRange(0.0, 1.0);
            continue;
        }
        const double pad = (yMax[a] - yMin[a]) * 0.05;
        autoY[a] = QCPRange(yMin[a] - pad, yMax[a] + pad);
    }
}

void ChartPrivate::setAxisRange(QCPAxis* axis, QCPRange range) {
    // QCustomPlot refuses ranges beyond its limits; keep what it can show.
    if (!QCPRange::validRange(range)) range = QCPRange(0.0, 1.0);
    axis->setRange(range);
}

void ChartPrivate::applyRanges() {
    QCPRange x = zoomed ? zoomX : (m.manualX ? QCPRange(m.minX, m.maxX) : autoX);
    x = usable(x, 1.0 / 1440.0);
    const QCPRange seconds(daysToAxis(x.lower), daysToAxis(x.upper));
    for (int a = 0; a < rects.size(); ++a) {
        setAxisRange(rects[a]->axis(QCPAxis::atBottom), seconds);
        QCPRange y = a < autoY.size() ? autoY[a] : QCPRange(0.0, 1.0);
        if (const AxisModel* axis = m.axisOrNull(a); axis && axis->manualY)
            y = QCPRange(axis->minY, axis->maxY);
        if (zoomed && a < zoomY.size() && zoomY[a]) y = *zoomY[a];
        setAxisRange(rects[a]->axis(QCPAxis::atLeft), usable(y, 1.0));
    }
}

void ChartPrivate::pushData() {
    for (int s = 0; s < plottables.size() && s < m.subsets(); ++s) {
        const SeriesPoints& series = m.series[s].data;
        if (auto* graph = qobject_cast<LineGraph*>(plottables[s])) {
            // A series reset to the null value (series 1 of a temperature-
            // only logger) draws nothing and needs no arrays.
            if (series.uniform() && (isGap(series.yAt(0)) || m.points == 0)) {
                graph->clearSource();
                continue;
            }
            // Handed over as it is, not copied: the graph takes from it what
            // each drawing needs. That needs ascending times; others (a
            // hand-edited file) go to the plot sorted, as points of its own.
            const TimeLine x = series.x();
            const float* y = series.y();
            if (ascending(x, m.points)) {
                graph->setSource(x, y, m.points, GapRule{m.nullY, limitY},
                                 m.plotting == Chart::PlottingMethod::Spline);
                continue;
            }
            graph->clearSource();
            QVector<QCPGraphData> line;
            bool inGap = false;
            for (int i = 0; i < m.points; ++i) {
                const double key = daysToAxis(x[i]);
                if (!std::isfinite(key)) continue;
                const bool gap = isGap(y[i]);
                if (gap && inGap) continue;
                inGap = gap;
                line.append(QCPGraphData(key, gap ? kNaN : double(y[i])));
            }
            graph->data()->set(line, false);
            continue;
        }
        auto* bars = qobject_cast<QCPBars*>(plottables[s]);
        if (!bars) continue;
        QVector<QCPBarsData> drawn;
        bool sorted = true;
        for (int i = 0; i < m.points; ++i) {
            const double key = daysToAxis(series.x()[i]);
            if (!std::isfinite(key) || isGap(series.y()[i])) continue;
            if (!drawn.isEmpty() && key < drawn.last().key) sorted = false;
            drawn.append(QCPBarsData(key, series.y()[i]));
        }
        const double span =
            drawn.size() > 1 ? (drawn.last().key - drawn.first().key) / (drawn.size() - 1) : 1.0;
        bars->setWidth(std::max(1e-3, std::fabs(span) * 0.8));
        bars->data()->set(drawn, sorted);
    }
    dataDirty = false;
}

void ChartPrivate::applyStyles() {
    title->setText(m.mainTitle);
    subTitle->setText(m.subTitle);
    const QString timeFormat = shortDateFormat() + QLatin1Char('\n') + longTimeFormat();
    const QPen grid = gridPen(m.grid);
    for (int a = 0; a < rects.size(); ++a) {
        QCPAxisRect* r = rects[a];
        QCPAxis* x = r->axis(QCPAxis::atBottom);
        QCPAxis* y = r->axis(QCPAxis::atLeft);
        const bool bottom = a == rects.size() - 1;
        if (auto t = x->ticker().dynamicCast<QCPAxisTickerDateTime>()) t->setDateTimeFormat(timeFormat);
        if (auto t = x->ticker().dynamicCast<FittingDateTimeTicker>()) t->elapsed = elapsedX;
        x->setTickLabels(bottom);
        x->setLabel(bottom ? m.xLabel : QString());
        const AxisModel* axis = m.axisOrNull(a);
        y->setLabel(axis ? axis->yLabel : QString());
        for (QCPAxis* ax : {x, y}) {
            ax->grid()->setVisible(m.grid != Chart::GridStyle::None);
            ax->grid()->setPen(grid);
        }
        // A thin line between stacked axes, or a gap when there is none.
        QCPAxis* top = r->axis(QCPAxis::atTop);
        top->setVisible(m.separators && a > 0);
        top->setTicks(false);
        top->setTickLabels(false);
        top->setBasePen(QPen(Qt::black, 0));
    }
    column->setRowSpacing(m.separators ? 0 : 8);
    const QVector<double> shares = m.effectiveProportions();
    if (shares.size() == column->rowCount())
        column->setRowStretchFactors(QList<double>(shares.cbegin(), shares.cend()));
    for (int s = 0; s < plottables.size() && s < m.subsets(); ++s) {
        const SeriesModel& series = m.series[s];
        QCPAbstractPlottable* p = plottables[s];
        p->setName(series.label);
        // A series without a name has nothing to say in the legend.
        if (series.label.isEmpty())
            p->removeFromLegend();
        else
            p->addToLegend();
        const QPen pen = mono ? monoSeriesPen(s) : seriesPen(series.lineType, series.color);
        p->setPen(pen);
        if (auto* bars = qobject_cast<QCPBars*>(p)) {
            bars->setBrush(mono ? QBrush(Qt::white) : QBrush(series.color.lighter(130)));
            bars->setPen(QPen(mono ? QColor(Qt::black) : series.color, 1));
            continue;
        }
        auto* graph = static_cast<QCPGraph*>(p);
        const bool points = m.plotting == Chart::PlottingMethod::Points ||
                            m.plotting == Chart::PlottingMethod::PointsPlusLine;
        graph->setLineStyle(m.plotting == Chart::PlottingMethod::Points ? QCPGraph::lsNone
                                                                        : QCPGraph::lsLine);
        graph->setScatterStyle(points ? QCPScatterStyle(QCPScatterStyle::ssDisc, pen.color(), pen.color(), 5)
                                      : QCPScatterStyle());
        QColor fill = mono ? QColor(200, 200, 200) : series.color;
        fill.setAlpha(70);
        graph->setBrush(m.plotting == Chart::PlottingMethod::Area ? QBrush(fill) : QBrush(Qt::NoBrush));
    }
}

void ChartPrivate::invalidateCursors() {
    cursorLayer->replot();
}

QCPAxisRect* ChartPrivate::rectOf(int axis) const {
    return axis >= 0 && axis < rects.size() ? rects[axis] : nullptr;
}

QRect ChartPrivate::plotUnion() const {
    QRect u;
    for (const QCPAxisRect* r : rects)
        u = u.united(r->rect());
    return u;
}

int ChartPrivate::rectAt(const QPoint& pos) const {
    for (int a = 0; a < rects.size(); ++a) {
        if (rects[a]->rect().contains(pos)) return a;
    }
    return -1;
}

double ChartPrivate::dayToPixelX(double days) const {
    if (rects.isEmpty()) return kNaN;
    return rects[0]->axis(QCPAxis::atBottom)->coordToPixel(daysToAxis(days));
}

void ChartPrivate::applyCursor() {
    QCursor shape = baseCursor;
    if (m.arrowCursor == Chart::ArrowNormal)
        shape = QCursor(Qt::ArrowCursor);
    else if (m.arrowCursor == Chart::ArrowText)
        shape = QCursor(Qt::IBeamCursor);
    if (hoverLine) shape = QCursor(Qt::SizeHorCursor);
    plot->setCursor(shape);
}

} // namespace tq
