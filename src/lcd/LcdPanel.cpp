#include "LcdPanel.h"

#include "LcdInk.h"
#include "LcdLayout.h"
#include "LcdMarks.h"

#include <QPainter>

namespace tq::lcd {

LcdPanel::LcdPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Panel1"));
    setGeometry(QRect(QPoint(0, 0), kClientSize));
}

QImage LcdPanel::face(qreal ratio) {
    if (!m_face.isNull() && m_face.devicePixelRatio() == ratio) return m_face;
    m_face = QImage(kClientSize * ratio, QImage::Format_ARGB32_Premultiplied);
    m_face.setDevicePixelRatio(ratio);
    m_face.fill(panelColor());
    QPainter p(&m_face);
    for (const IndicatorLayout& item : kIndicators)
        p.drawImage(item.geometry.topLeft(), drawMark(item.mark, item.geometry.size(), ratio, ghostColor()));
    return m_face;
}

void LcdPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), face(devicePixelRatioF()));
}

} // namespace tq::lcd
