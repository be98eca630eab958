#pragma once

#include <QLabel>

namespace tq {

// The picture of a temperature unit beside its radio button; clicking it
// chooses the unit as the radio button does.
class UnitPicture : public QLabel {
    Q_OBJECT
  public:
    UnitPicture(const QString& unit, QWidget* parent);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace tq
