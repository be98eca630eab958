#include "SevenSegment.h"

#include <QPainter>
#include <QPolygonF>
#include <QTransform>

namespace tq::lcd {

namespace {

// A bar with pointed ends between two centre points, the classic LCD segment.
QPolygonF bar(QPointF from, QPointF to, qreal thickness, qreal gap) {
    const qreal h = thickness / 2.0;
    if (from.y() == to.y()) {
        const qreal y = from.y();
        const qreal x0 = from.x() + gap;
        const qreal x1 = to.x() - gap;
        return QPolygonF(
            {{x0, y}, {x0 + h, y - h}, {x1 - h, y - h}, {x1, y}, {x1 - h, y + h}, {x0 + h, y + h}});
    }
    const qreal x = from.x();
    const qreal y0 = from.y() + gap;
    const qreal y1 = to.y() - gap;
    return QPolygonF({{x, y0}, {x + h, y0 + h}, {x + h, y1 - h}, {x, y1}, {x - h, y1 - h}, {x - h, y0 + h}});
}

QPolygonF segmentPolygon(Segment segment, const QRectF& box, qreal thickness, qreal gap) {
    const qreal h = thickness / 2.0;
    const qreal left = box.left() + h;
    const qreal right = box.right() - h;
    const qreal top = box.top() + h;
    const qreal bottom = box.bottom() - h;
    const qreal middle = (top + bottom) / 2.0;
    switch (segment) {
    case SegA:
        return bar({left, top}, {right, top}, thickness, gap);
    case SegB:
        return bar({right, top}, {right, middle}, thickness, gap);
    case SegC:
        return bar({right, middle}, {right, bottom}, thickness, gap);
    case SegD:
        return bar({left, bottom}, {right, bottom}, thickness, gap);
    case SegE:
        return bar({left, middle}, {left, bottom}, thickness, gap);
    case SegF:
        return bar({left, top}, {left, middle}, thickness, gap);
    case SegG:
        return bar({left, middle}, {right, middle}, thickness, gap);
    }
    return {};
}

} // namespace

void paintSegments(QPainter& painter, const QRectF& box, quint8 lit, const SegmentStyle& style,
                   const QColor& ink, const QColor& ghost) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    // Shear about the bottom edge so the digits lean like the logger's.
    painter.setTransform(QTransform(1, 0, -style.slant, 1, style.slant * box.bottom(), 0), true);
    for (quint8 bit = SegA; bit <= SegG; bit <<= 1) {
        const bool on = (lit & bit) != 0;
        if (!on && !ghost.isValid()) continue;
        painter.setBrush(on ? ink : ghost);
        painter.drawPolygon(segmentPolygon(static_cast<Segment>(bit), box, style.thickness, style.gap));
    }
    painter.restore();
}

} // namespace tq::lcd
