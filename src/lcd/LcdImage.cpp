#include "LcdImage.h"

#include <QPainter>

namespace tq::lcd {

LcdImage::LcdImage(const char* name, int tag, const QRect& geometry, QWidget* parent)
    : QWidget(parent), m_tag(tag) {
    setObjectName(QString::fromLatin1(name));
    setGeometry(geometry);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LcdImage::setSource(Source source) {
    m_source = std::move(source);
    m_picture = QImage();
    update();
}

QImage LcdImage::image() const {
    if (!m_source) return {};
    const qreal ratio = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.devicePixelRatio() != ratio) m_picture = m_source(ratio);
    return m_picture;
}

void LcdImage::paintEvent(QPaintEvent*) {
    const QImage picture = image();
    if (picture.isNull()) return;
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), picture);
}

} // namespace tq::lcd
