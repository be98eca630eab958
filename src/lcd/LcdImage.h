#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

namespace tq::lcd {

// One image of the LCD window: a fixed-size picture on the panel. The
// picture is drawn on demand for the widget's device pixel ratio, so it
// stays sharp on high-DPI screens and when the window changes screen.
class LcdImage : public QWidget {
    // A meta-object of its own, so finding images among the window's
    // children (qobject_cast, findChildren) never takes the panel for one.
    Q_OBJECT
  public:
    using Source = std::function<QImage(qreal devicePixelRatio)>;

    LcdImage(const char* name, int tag, const QRect& geometry, QWidget* parent);

    // Mask bit tag - 1 switches this image; 0 for images no bit switches.
    int tag() const { return m_tag; }

    void setSource(Source source);
    // The picture as it is painted now; null while there is no source.
    QImage image() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int m_tag;
    Source m_source;
    mutable QImage m_picture;
};

} // namespace tq::lcd
