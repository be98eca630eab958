// Mouse handling of the chart: hot spots, the zoom frame and the events the
// graph windows listen to.

#include "ChartLayers.h"
#include "ChartPrivate.h"
#include "ChartTime.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRubberBand>

#include <algorithm>
#include <cmath>

namespace tq {

namespace {
constexpr double kLineHotPixels = 4.0;
constexpr double kDataHotPixels = 5.0;
constexpr int kMinZoomPixels = 5;
// Points looked at on each side of the pressed time; with a million points
// on a few hundred pixels that is still more than the 5-pixel window holds.
constexpr int kMaxDataCandidates = 4096;
} // namespace

int ChartPrivate::vertLineAt(const QPoint& pos) const {
    if (!m.showVertLines || rects.isEmpty()) return -1;
    const QRect area = plotUnion();
    if (pos.y() < area.top() || pos.y() > area.bottom()) return -1;
    int best = -1;
    double bestDistance = kLineHotPixels;
    for (const auto& [index, line] : m.vertLines) {
        const double px = dayToPixelX(line.x);
        if (!std::isfinite(px) || px < area.left() - 0.5 || px > area.right() + 0.5) continue;
        const double distance = std::fabs(px - pos.x());
        // On a tie the later line wins: it is drawn on top.
        if (distance <= bestDistance) {
            best = index;
            bestDistance = distance;
        }
    }
    return best;
}

int ChartPrivate::annotationAt(const QPoint& pos) const {
    const QCPAxisRect* r = rectOf(0);
    // Annotations are clipped to axis 0; what is not seen is not hot.
    if (!m.showGraphAnnotations || !r || !r->rect().contains(pos)) return -1;
    int found = -1;
    for (const auto& [index, a] : m.annotations) {
        const QRectF box = AnnotationLayer::hitBox(this, a);
        // The drawn box already reaches 5 pixels around a cross.
        if (!box.isEmpty() && box.adjusted(-2, -2, 2, 2).contains(QPointF(pos))) found = index;
    }
    return found;
}

int ChartPrivate::dataPointAt(const QPoint& pos) const {
    // A series reset to one value has no point to hit.
    if (m.points == 0 || rects.isEmpty() || m.series[0].data.uniform()) return -1;
    const QCPAxisRect* r = rectOf(m.axisOfSubset(0));
    if (!r || !r->rect().adjusted(-5, -5, 5, 5).contains(pos)) return -1;
    const QCPAxis* keyAxis = r->axis(QCPAxis::atBottom);
    const QCPAxis* valueAxis = r->axis(QCPAxis::atLeft);
    const TimeLine xs = m.series[0].data.x();
    const float* ys = m.series[0].data.y();
    const double x = axisToDays(keyAxis->pixelToCoord(pos.x()));
    // The logger's times ascend, so the pressed time is found by bisection;
    // then the neighbours on both sides are measured until they lie more
    // than the hot distance away in time.
    const int start = xs.lowerBound(0, m.points, x);
    int best = -1;
    double bestDistance = kDataHotPixels;
    auto consider = [&](int i) {
        const double px = keyAxis->coordToPixel(daysToAxis(xs[i]));
        const double dx = px - pos.x();
        if (!std::isfinite(dx) || std::fabs(dx) > kDataHotPixels) return false;
        if (!isGap(ys[i])) {
            const double dy = valueAxis->coordToPixel(ys[i]) - pos.y();
            const double d = std::hypot(dx, dy);
            if (d <= bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        return true;
    };
    for (int i = start, n = 0; i < m.points && n < kMaxDataCandidates; ++i, ++n) {
        if (!consider(i)) break;
    }
    for (int i = start - 1, n = 0; i >= 0 && n < kMaxDataCandidates; --i, ++n) {
        if (!consider(i)) break;
    }
    return best;
}

bool ChartPrivate::eventFilter(QObject* watched, QEvent* event) {
    if (watched != plot) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        mousePress(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonDblClick:
        mouseDouble(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseMove:
        mouseMove(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
        mouseRelease(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::Leave:
        if (hoverLine) {
            hoverLine = false;
            applyCursor();
        }
        return false;
    default:
        return false;
    }
}

void ChartPrivate::emitHotSpots(const QPoint& pos, bool dblClick) {
    // A signal handler may redraw the chart; each test reads fresh geometry.
    if (m.allowVertLineHotSpots) {
        const int line = vertLineAt(pos);
        if (line >= 0) {
            onLine = true;
            emit q->vertLineAnnotHotSpot(dblClick, line);
            return;
        }
    }
    if (m.allowGraphAnnotHotSpots) {
        const int annotation = annotationAt(pos);
        if (annotation >= 0) emit q->graphAnnotHotSpot(dblClick, annotation);
    }
    if (m.allowDataHotSpots) {
        const int point = dataPointAt(pos);
        if (point >= 0) emit q->dataHotSpot(dblClick, 0, point);
    }
}

void ChartPrivate::mousePress(QMouseEvent* e) {
    lastMouse = plot->mapTo(q, e->position().toPoint());
    if (e->button() != Qt::LeftButton) return;
    pressed = true;
    moved = false;
    onLine = false;
    afterDouble = false;
    pressPos = lastMouse;
    pressRect = rectAt(pressPos);
    emitHotSpots(pressPos, false);
}

void ChartPrivate::mouseDouble(QMouseEvent* e) {
    lastMouse = plot->mapTo(q, e->position().toPoint());
    if (e->button() != Qt::LeftButton) return;
    pressed = true;
    moved = false;
    onLine = false;
    afterDouble = true;
    pressPos = lastMouse;
    pressRect = -1; // a double click never starts a zoom frame
    emitHotSpots(pressPos, true);
}

QRect ChartPrivate::zoomFrame(const QPoint& to) const {
    const QCPAxisRect* r = rectOf(pressRect);
    if (!r) return {};
    QRect frame = QRect(pressPos, to).normalized().intersected(r->rect());
    if (m.zooming == Chart::Zooming::Horizontal)
        frame = QRect(frame.left(), r->rect().top(), frame.width(), r->rect().height());
    else if (m.zooming == Chart::Zooming::Vertical)
        frame = QRect(r->rect().left(), frame.top(), r->rect().width(), frame.height());
    return frame;
}

void ChartPrivate::mouseMove(QMouseEvent* e) {
    lastMouse = plot->mapTo(q, e->position().toPoint());
    if (pressed && !(e->buttons() & Qt::LeftButton)) {
        // The release went elsewhere (another window took the mouse).
        pressed = moved = onLine = afterDouble = false;
        band->hide();
    }
    if (pressed && !moved && (lastMouse - pressPos).manhattanLength() >= QApplication::startDragDistance())
        moved = true;
    if (pressed && moved && !onLine && pressRect >= 0 && m.zooming != Chart::Zooming::None) {
        band->setGeometry(zoomFrame(lastMouse));
        band->show();
    }
    if (!pressed) {
        const bool overLine = m.allowVertLineHotSpots && vertLineAt(lastMouse) >= 0;
        if (overLine != hoverLine) {
            hoverLine = overLine;
            applyCursor();
        }
        const int annotation = m.allowGraphAnnotHotSpots ? annotationAt(lastMouse) : -1;
        const bool entered = annotation >= 0 && annotation != hoverAnnotation;
        hoverAnnotation = annotation;
        if (entered) emit q->graphHotSpot();
    }
    emit q->mouseMoved();
}

void ChartPrivate::mouseRelease(QMouseEvent* e) {
    lastMouse = plot->mapTo(q, e->position().toPoint());
    const bool wasPressed = pressed && e->button() == Qt::LeftButton;
    const bool click = wasPressed && !moved && !afterDouble;
    if (wasPressed && band->isVisible()) {
        band->hide();
        const QRect frame = zoomFrame(lastMouse);
        const bool wide = frame.width() >= kMinZoomPixels || m.zooming == Chart::Zooming::Vertical;
        const bool tall = frame.height() >= kMinZoomPixels || m.zooming == Chart::Zooming::Horizontal;
        if (wide && tall) {
            applyZoom(frame);
            emit q->zoomIn();
        }
    }
    if (e->button() == Qt::LeftButton) {
        pressed = false;
        moved = false;
        onLine = false;
        afterDouble = false;
    }
    if (click) emit q->clicked();
    emit q->mouseReleased();
}

void ChartPrivate::applyZoom(const QRect& frame) {
    const QCPAxisRect* r = rectOf(pressRect);
    if (!r) return;
    const QCPAxis* x = r->axis(QCPAxis::atBottom);
    const QCPAxis* y = r->axis(QCPAxis::atLeft);
    const bool horizontal = m.zooming != Chart::Zooming::Vertical;
    const bool vertical = m.zooming != Chart::Zooming::Horizontal;
    zoomX = horizontal ? QCPRange(axisToDays(x->pixelToCoord(frame.left())),
                                  axisToDays(x->pixelToCoord(frame.right())))
                       : QCPRange(axisToDays(x->range().lower), axisToDays(x->range().upper));
    zoomY.resize(rects.size());
    if (vertical) zoomY[pressRect] = QCPRange(y->pixelToCoord(frame.bottom()), y->pixelToCoord(frame.top()));
    zoomed = true;
    redraw();
}

void ChartPrivate::undoZoom() {
    zoomed = false;
    zoomY.fill(std::nullopt);
    if (!rects.isEmpty()) redraw();
}

} // namespace tq
