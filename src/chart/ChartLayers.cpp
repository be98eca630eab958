#include "ChartLayers.h"

#include "ChartPrivate.h"
#include "ChartTime.h"
#include "LineStyles.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tq {

namespace {
constexpr double kCrossHalf = 5.0;
}

QFont annotationFont(int percent) {
    QFont f;
    f.setPointSizeF(std::max(2.0, 9.0 * percent / 100.0));
    return f;
}

VertLineLayer::VertLineLayer(QCustomPlot* plot, const QString& layer, ChartPrivate* d)
    : QCPLayerable(plot, layer), d(d) {}

QRect VertLineLayer::clipRect() const {
    return d->plotUnion();
}

void VertLineLayer::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    painter->setAntialiasing(false);
}

void VertLineLayer::draw(QCPPainter* painter) {
    if (!d->m.showVertLines || d->rects.isEmpty()) return;
    const QRect area = d->plotUnion();
    const QFont font = annotationFont(d->m.lineTextSize);
    const QFontMetrics fm(font);
    painter->setFont(font);
    for (const auto& [index, line] : d->m.vertLines) {
        Q_UNUSED(index)
        const double px = d->dayToPixelX(line.x);
        if (!std::isfinite(px) || px < area.left() - 0.5 || px > area.right() + 0.5) continue;
        const QColor color = d->mono ? QColor(Qt::black) : line.color;
        painter->setPen(vertLinePen(line.type, color));
        painter->drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
        if (line.text.isEmpty()) continue;
        // The text sits at the top, right of the line, on a pale box so
        // the data behind it does not hide it.
        QRectF box = fm.boundingRect(line.text);
        box.moveTopLeft(QPointF(px + 3, area.top() + 2));
        if (box.right() > area.right()) box.moveRight(px - 3);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(255, 255, 255, 210));
        painter->drawRect(box.adjusted(-1, 0, 1, 0));
        painter->setBrush(Qt::NoBrush);
        painter->setPen(color);
        painter->drawText(QPointF(box.left(), box.top() + fm.ascent()), line.text);
    }
}

AnnotationLayer::AnnotationLayer(QCustomPlot* plot, const QString& layer, ChartPrivate* d)
    : QCPLayerable(plot, layer), d(d) {}

QRect AnnotationLayer::clipRect() const {
    const QCPAxisRect* r = d->rectOf(0);
    return r ? r->rect() : QRect();
}

void AnnotationLayer::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    painter->setAntialiasing(true);
}

QRectF AnnotationLayer::hitBox(const ChartPrivate* d, const GraphAnnotationModel& a) {
    const QCPAxisRect* r = d->rectOf(0);
    if (!r || a.deleted()) return {};
    const double px = r->axis(QCPAxis::atBottom)->coordToPixel(daysToAxis(a.x));
    const double py = r->axis(QCPAxis::atLeft)->coordToPixel(a.y);
    if (!std::isfinite(px) || !std::isfinite(py) || std::fabs(px) > 1e6 || std::fabs(py) > 1e6) return {};
    QRectF box(px - kCrossHalf, py - kCrossHalf, 2 * kCrossHalf, 2 * kCrossHalf);
    if (!a.text.isEmpty()) {
        const QFontMetricsF fm(annotationFont(d->m.annotationTextSize));
        QRectF text = fm.boundingRect(a.text);
        if (a.type == Chart::AnnotCross)
            text.moveTopLeft(QPointF(px + kCrossHalf + 2, py - text.height() / 2));
        else
            text.moveTopLeft(QPointF(px, py - text.height() / 2));
        box = a.type == Chart::AnnotCross ? box.united(text) : text;
    }
    return box;
}

void AnnotationLayer::draw(QCPPainter* painter) {
    if (!d->m.showGraphAnnotations || !d->rectOf(0)) return;
    const QFont font = annotationFont(d->m.annotationTextSize);
    const QFontMetricsF fm(font);
    painter->setFont(font);
    for (const auto& [index, a] : d->m.annotations) {
        Q_UNUSED(index)
        const QRectF box = hitBox(d, a);
        if (box.isEmpty()) continue;
        const QColor color = d->mono ? QColor(Qt::black) : a.color;
        painter->setPen(QPen(color, 1.5));
        if (a.type == Chart::AnnotCross) {
            const QPointF c(box.left() + kCrossHalf, box.top() + box.height() / 2);
            painter->drawLine(c - QPointF(kCrossHalf, 0), c + QPointF(kCrossHalf, 0));
            painter->drawLine(c - QPointF(0, kCrossHalf), c + QPointF(0, kCrossHalf));
            if (!a.text.isEmpty())
                painter->drawText(QPointF(c.x() + kCrossHalf + 2, c.y() - fm.height() / 2 + fm.ascent()),
                                  a.text);
        } else {
            painter->drawText(QPointF(box.left(), box.top() + fm.ascent()), a.text);
        }
    }
}

BandLayer::BandLayer(QCustomPlot* plot, const QString& layer, ChartPrivate* d)
    : QCPLayerable(plot, layer), d(d) {}

QRect BandLayer::clipRect() const {
    // Each band is clipped to its own axis rect when drawn.
    QRect all;
    for (const QCPAxisRect* r : std::as_const(d->rects))
        all |= r->rect();
    return all;
}

void BandLayer::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    painter->setAntialiasing(false);
}

void BandLayer::draw(QCPPainter* painter) {
    for (const Chart::ValueBand& b : std::as_const(d->bands)) {
        const QCPAxisRect* r = d->rectOf(b.axis);
        if (!r) continue;
        const QRect area = r->rect();
        QCPAxis* y = r->axis(QCPAxis::atLeft);
        // An infinite or far-away bound is the edge of the plot.
        auto pixel = [&](double v) {
            if (v == std::numeric_limits<double>::infinity()) return double(area.top());
            if (v == -std::numeric_limits<double>::infinity()) return double(area.bottom() + 1);
            return std::clamp(y->coordToPixel(v), double(area.top()), double(area.bottom() + 1));
        };
        const double top = pixel(std::max(b.from, b.to));
        const double bottom = pixel(std::min(b.from, b.to));
        const QColor color = d->mono ? QColor(200, 200, 200) : b.color;
        QColor fill = color;
        fill.setAlpha(color.alpha() == 255 ? 60 : color.alpha());
        painter->fillRect(QRectF(area.left(), top, area.width(), bottom - top), fill);
        QColor edge = color.darker(130);
        edge.setAlpha(255);
        painter->setPen(QPen(edge, 1.5, Qt::DashLine));
        for (const double bound : {b.from, b.to}) {
            if (!std::isfinite(bound)) continue;
            const double py = y->coordToPixel(bound);
            if (py < area.top() || py > area.bottom() + 1) continue;
            painter->drawLine(QPointF(area.left(), py), QPointF(area.right() + 1, py));
        }
    }
}

} // namespace tq
