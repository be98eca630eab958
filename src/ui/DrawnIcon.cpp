#include "DrawnIcon.h"

#include <QIconEngine>
#include <QPainter>

namespace tq {

namespace {

class DrawnIconEngine : public QIconEngine {
  public:
    DrawnIconEngine(std::function<void(QPainter&)> draw, int designSize)
        : m_draw(std::move(draw)), m_size(designSize) {}

    void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->translate(rect.topLeft());
        p->scale(rect.width() / double(m_size), rect.height() / double(m_size));
        if (mode == QIcon::Disabled) p->setOpacity(0.35);
        m_draw(*p);
        p->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(m_draw, m_size); }

  private:
    std::function<void(QPainter&)> m_draw;
    int m_size;
};

} // namespace

QIcon drawnIcon(std::function<void(QPainter&)> draw, int designSize) {
    return QIcon(new DrawnIconEngine(std::move(draw), designSize));
}

} // namespace tq
