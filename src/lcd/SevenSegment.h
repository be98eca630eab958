#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace tq::lcd {

// Segment bits: a (top) = 0x01, b (top right) = 0x02, c (bottom right) = 0x04,
// d (bottom) = 0x08, e (bottom left) = 0x10, f (top left) = 0x20, g (middle) = 0x40.
enum Segment : quint8 {
    SegA = 0x01,
    SegB = 0x02,
    SegC = 0x04,
    SegD = 0x08,
    SegE = 0x10,
    SegF = 0x20,
    SegG = 0x40
};

struct SegmentStyle {
    qreal thickness = 6.0;
    qreal gap = 0.8;   // between neighbouring segments
    qreal slant = 0.0; // x shift per pixel of height, measured from the bottom
};

// Paints the segments inside box, their outer edges touching it: the lit
// ones in ink, the unlit ones in ghost.
void paintSegments(QPainter& painter, const QRectF& box, quint8 lit, const SegmentStyle& style,
                   const QColor& ink, const QColor& ghost);

} // namespace tq::lcd
