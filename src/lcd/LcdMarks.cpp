#include "LcdMarks.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace tq::lcd {

namespace {

// Labels are outlines stretched to their box, so they come out the same
// whatever sans font the system picks.
void fillText(QPainter& p, const QString& text, const QRectF& box) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(40);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty()) return;
    QTransform fit;
    fit.translate(box.left(), box.top());
    fit.scale(box.width() / bounds.width(), box.height() / bounds.height());
    fit.translate(-bounds.left(), -bounds.top());
    p.drawPath(fit.map(path));
}

void degreeSign(QPainter& p, QPointF centre, const QColor& ink) {
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1.4));
    p.drawEllipse(centre, 2.0, 2.0);
    p.restore();
}

void paint(QPainter& p, Mark mark, const QColor& ink) {
    switch (mark) {
    case Mark::MemoryStep:
        p.fillRect(QRectF(1, 0, 14, 7), ink);
        break;
    case Mark::MemLabel:
        fillText(p, QStringLiteral("MEM"), QRectF(0, 2, 15, 8));
        break;
    case Mark::Minus:
        p.drawPolygon(QPolygonF({{1, 4.5}, {3.5, 2}, {12.5, 2}, {15, 4.5}, {12.5, 7}, {3.5, 7}}));
        break;
    case Mark::Interval:
        p.save();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ink, 1.5));
        p.drawEllipse(QPointF(7.5, 8.5), 6.0, 6.0);
        p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7.5, 8.5), QPointF(7.5, 4.5));
        p.drawLine(QPointF(7.5, 8.5), QPointF(10.5, 8.5));
        p.restore();
        fillText(p, QStringLiteral("INTV"), QRectF(16, 4, 22, 9));
        break;
    case Mark::Rec: {
        QPainterPath plate;
        plate.addRoundedRect(QRectF(0.5, 1.5, 26, 12), 2.5, 2.5);
        p.drawPath(plate);
        // The letters are cut out of the plate, as on the logger.
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        fillText(p, QStringLiteral("REC"), QRectF(4, 4.5, 19, 6));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    }
    case Mark::DecimalPoint:
        // Follows the lean of the digits and sits on their bottom segment.
        p.drawPolygon(QPolygonF({{2.3, 11}, {7.3, 11}, {7.6, 6}, {2.6, 6}}));
        break;
    case Mark::Celsius:
        degreeSign(p, {3.0, 3.0}, ink);
        fillText(p, QStringLiteral("C"), QRectF(6.5, 2, 9.5, 11));
        break;
    case Mark::Fahrenheit:
        degreeSign(p, {3.0, 3.0}, ink);
        fillText(p, QStringLiteral("F"), QRectF(7, 2, 8, 12));
        break;
    case Mark::BatteryOutline:
        p.fillRect(QRectF(1, 5, 5, 7), ink);   // terminal
        p.fillRect(QRectF(6, 0, 49, 2), ink);  // top
        p.fillRect(QRectF(6, 15, 49, 2), ink); // bottom
        p.fillRect(QRectF(6, 0, 2, 17), ink);  // left
        p.fillRect(QRectF(53, 0, 2, 17), ink); // right
        break;
    case Mark::BatteryStep:
        p.fillRect(QRectF(0, 0, 7, 9), ink);
        break;
    case Mark::Rs232:
        fillText(p, QStringLiteral("RS232"), QRectF(5, 3.5, 45, 9));
        break;
    }
}

} // namespace

QImage drawMark(Mark mark, QSize size, qreal devicePixelRatio, const QColor& ink) {
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    paint(p, mark, ink);
    return image;
}

} // namespace tq::lcd
