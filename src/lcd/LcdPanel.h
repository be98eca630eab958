#pragma once

#include <QImage>
#include <QWidget>

namespace tq::lcd {

// The grey face of the LCD window. Like real glass it shows every
// indicator faintly even when the indicator is off.
class LcdPanel : public QWidget {
    Q_OBJECT
  public:
    explicit LcdPanel(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage face(qreal devicePixelRatio);

    QImage m_face;
};

} // namespace tq::lcd
