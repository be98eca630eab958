#include "AppGlyphs.h"

#include "DrawnIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace tq {

namespace {

QIcon make(std::function<void(QPainter&)> d) {
    return drawnIcon(std::move(d), 32);
} // 32 x 32 design box

const QColor kOutline(40, 48, 60);

} // namespace

QIcon openGlyph() {
    return make([](QPainter& p) {
        p.setPen(QPen(kOutline, 1.4));
        p.setBrush(QColor(236, 190, 80));
        QPainterPath back;
        back.moveTo(3, 8);
        back.lineTo(12, 8);
        back.lineTo(14, 11);
        back.lineTo(27, 11);
        back.lineTo(27, 26);
        back.lineTo(3, 26);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(252, 214, 112));
        QPainterPath front;
        front.moveTo(3, 26);
        front.lineTo(7, 15);
        front.lineTo(31, 15);
        front.lineTo(27, 26);
        front.closeSubpath();
        p.drawPath(front);
    });
}

QIcon saveGlyph() {
    return make([](QPainter& p) {
        p.setPen(QPen(kOutline, 1.4));
        p.setBrush(QColor(58, 110, 190));
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(QColor(235, 240, 248));
        p.drawRect(QRectF(9, 4, 14, 9));
        p.setBrush(QColor(40, 60, 100));
        p.drawRect(QRectF(18, 6, 3, 5));
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(QRectF(8, 17, 16, 11));
        p.setPen(QPen(QColor(150, 160, 175), 1));
        p.drawLine(QPointF(11, 21), QPointF(21, 21));
        p.drawLine(QPointF(11, 24), QPointF(21, 24));
    });
}

QIcon printGlyph() {
    return make([](QPainter& p) {
        p.setPen(QPen(kOutline, 1.4));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(150, 158, 170));
        p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 19, 14, 10));
        p.setPen(QPen(QColor(120, 130, 145), 1));
        p.drawLine(QPointF(12, 23), QPointF(20, 23));
        p.drawLine(QPointF(12, 26), QPointF(20, 26));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 200, 90));
        p.drawEllipse(QPointF(25, 15.5), 1.3, 1.3);
    });
}

QIcon helpGlyph() {
    return make([](QPainter& p) {
        p.setPen(QPen(QColor(20, 70, 150), 1.4));
        p.setBrush(QColor(60, 130, 220));
        p.drawEllipse(QRectF(3, 3, 26, 26));
        QFont f(QStringLiteral("Sans Serif"));
        f.setBold(true);
        f.setPixelSize(20);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
    });
}

QIcon downloadGlyph() {
    return make([](QPainter& p) {
        p.setPen(QPen(kOutline, 1.4));
        p.setBrush(QColor(220, 224, 230));
        p.drawRoundedRect(QRectF(8, 2, 16, 14), 2, 2);
        p.setBrush(QColor(170, 190, 160));
        p.drawRect(QRectF(11, 5, 10, 6));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 150, 70));
        QPainterPath arrow;
        arrow.moveTo(13, 16);
        arrow.lineTo(19, 16);
        arrow.lineTo(19, 22);
        arrow.lineTo(24, 22);
        arrow.lineTo(16, 30);
        arrow.lineTo(8, 22);
        arrow.lineTo(13, 22);
        arrow.closeSubpath();
        p.drawPath(arrow);
    });
}

QIcon setupGlyph() {
    return make([](QPainter& p) {
        p.setPen(QPen(kOutline, 1.2));
        p.setBrush(QColor(130, 140, 155));
        QPainterPath gear;
        const QPointF c(16, 16);
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(c);
            p.rotate(i * 45.0);
            p.drawRect(QRectF(-2.5, -14, 5, 6));
            p.restore();
        }
        p.drawEllipse(c, 9.5, 9.5);
        p.setBrush(Qt::white);
        p.drawEllipse(c, 3.5, 3.5);
    });
}

QIcon searchGlyph() {
    return make([](QPainter& p) {
        // A magnifying glass.
        p.setPen(QPen(kOutline, 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19.5, 19.5), QPointF(28, 28));
        p.setPen(QPen(kOutline, 1.6));
        p.setBrush(QColor(200, 225, 245));
        p.drawEllipse(QPointF(13, 13), 9, 9);
    });
}

QIcon appIcon() {
    return make([](QPainter& p) {
        // A small logger: case, LCD and a thermometer mark.
        p.setPen(QPen(QColor(30, 40, 55), 1.2));
        p.setBrush(QColor(60, 90, 140));
        p.drawRoundedRect(QRectF(2, 2, 28, 28), 5, 5);
        p.setBrush(QColor(206, 214, 190));
        p.drawRoundedRect(QRectF(5, 6, 22, 11), 1.5, 1.5);
        QFont f(QStringLiteral("Monospace"));
        f.setBold(true);
        f.setPixelSize(9);
        p.setFont(f);
        p.setPen(QColor(25, 30, 25));
        p.drawText(QRectF(5, 6, 22, 11), Qt::AlignCenter, QStringLiteral("23.4"));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 60, 50));
        p.drawEllipse(QPointF(16, 25), 3, 3);
        p.drawRect(QRectF(15, 19, 2, 5));
    });
}

} // namespace tq
