#include "GraphArtwork.h"

#include "DrawnIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace tq {

namespace {
constexpr int kIcon = 24;

QIcon toolIcon(std::function<void(QPainter&)> draw) {
    return drawnIcon(std::move(draw), kIcon);
}

const QColor kInk(40, 40, 48);
const QColor kPanel(225, 232, 242);
} // namespace

QIcon statisticIcon(int panel) {
    return toolIcon([panel](QPainter& p) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPanel);
        p.drawRoundedRect(QRectF(2.5, 3.5, 19, 17), 2, 2);
        // The highlighted strip says which panel the button shows.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 110, 200));
        p.drawRect(panel == 1 ? QRectF(4, 5, 16, 4) : QRectF(4, 15, 16, 4));
        p.setBrush(kInk);
        p.setFont(QFont(QStringLiteral("Sans"), 7, QFont::Bold));
        p.setPen(kInk);
        p.drawText(QRectF(2, 7, 20, 10), Qt::AlignCenter, QString::number(panel));
    });
}

QIcon normalCursorIcon() {
    return toolIcon([](QPainter& p) {
        QPainterPath arrow;
        arrow.moveTo(7, 3);
        arrow.lineTo(7, 19);
        arrow.lineTo(11, 15);
        arrow.lineTo(14, 21);
        arrow.lineTo(16.5, 20);
        arrow.lineTo(13.5, 14);
        arrow.lineTo(19, 14);
        arrow.closeSubpath();
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(Qt::white);
        p.drawPath(arrow);
    });
}

QIcon crossToolIcon() {
    return toolIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
    });
}

QIcon textToolIcon() {
    return toolIcon([](QPainter& p) {
        QFont f(QStringLiteral("Serif"));
        f.setPixelSize(18);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(QRectF(0, 0, kIcon, kIcon), Qt::AlignCenter, QStringLiteral("T"));
        p.setPen(QPen(QColor(40, 110, 200), 1.5));
        p.drawLine(QPointF(18.5, 5), QPointF(18.5, 20));
    });
}

QIcon undoZoomIcon() {
    return toolIcon([](QPainter& p) {
        p.setPen(QPen(kInk, 1.8));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
        p.drawLine(QPointF(14.8, 14.8), QPointF(21, 21));
        p.drawLine(QPointF(7, 10), QPointF(13, 10));
    });
}

QIcon graphOptionIcon() {
    return toolIcon([](QPainter& p) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 4.5, 17, 15));
        p.setPen(QPen(QColor(220, 30, 30), 1.6));
        p.drawPolyline(QPolygonF({QPointF(5, 16), QPointF(9, 11), QPointF(13, 13), QPointF(19, 7)}));
    });
}

QCursor crossPointer() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    // A white rim keeps the cross visible on dark plot areas.
    for (const auto& [colour, width] :
         {std::pair{QColor(Qt::white), 3.0}, std::pair{QColor(Qt::black), 1.0}}) {
        p.setPen(QPen(colour, width));
        p.drawLine(QPointF(15.5, 6), QPointF(15.5, 25));
        p.drawLine(QPointF(6, 15.5), QPointF(25, 15.5));
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(0.5, 0.5), QPointF(4.5, 0.5));
    p.drawLine(QPointF(0.5, 0.5), QPointF(0.5, 4.5));
    p.end();
    return QCursor(pm, 0, 0);
}

QPixmap printGraphPicture() {
    QPixmap pm(144, 79);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 200, 200), 1, Qt::DotLine));
    for (int x = 16; x < 144; x += 16)
        p.drawLine(x, 4, x, 70);
    for (int y = 10; y < 72; y += 12)
        p.drawLine(10, y, 140, y);
    p.setPen(QPen(kInk, 1));
    p.drawLine(10, 4, 10, 71);
    p.drawLine(10, 71, 140, 71);
    p.setPen(QPen(QColor(220, 30, 30), 2));
    p.drawPolyline(QPolygonF({QPointF(12, 55), QPointF(30, 40), QPointF(48, 46), QPointF(66, 24),
                              QPointF(84, 30), QPointF(102, 16), QPointF(120, 34), QPointF(138, 22)}));
    p.setPen(QPen(Qt::blue, 1));
    p.drawLine(52, 6, 52, 70);
    p.setPen(QPen(QColor(0, 170, 0), 1));
    p.drawLine(106, 6, 106, 70);
    return pm;
}

QPixmap printTextPicture() {
    QPixmap pm(121, 73);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(30.5, 0.5, 60, 72));
    p.setPen(QPen(QColor(90, 90, 100), 1));
    for (int row = 0; row < 10; ++row) {
        const int y = 8 + row * 6;
        p.drawLine(36, y, 52, y);
        p.drawLine(56, y, 70, y);
        p.drawLine(74, y, row == 0 ? 86 : 82, y);
    }
    return pm;
}

QIcon cancelIcon() {
    return toolIcon([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 50, 50));
        p.drawEllipse(QRectF(3, 3, 18, 18));
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8.5, 8.5), QPointF(15.5, 15.5));
        p.drawLine(QPointF(15.5, 8.5), QPointF(8.5, 15.5));
    });
}

} // namespace tq
