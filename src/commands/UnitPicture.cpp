#include "UnitPicture.h"

#include <QMouseEvent>
#include <QPainter>

namespace tq {

namespace {
// "°C" or "°F" drawn at twice the size, so it stays sharp on dense screens.
QPixmap unitPixmap(const QString& unit) {
    const QSize size(34, 24);
    QPixmap pixmap(size * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = p.font();
    f.setPixelSize(18);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, QString(QChar(0x00B0)) + unit);
    return pixmap;
}
} // namespace

UnitPicture::UnitPicture(const QString& unit, QWidget* parent) : QLabel(parent) {
    setPixmap(unitPixmap(unit));
    setCursor(Qt::PointingHandCursor);
}

void UnitPicture::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

} // namespace tq
