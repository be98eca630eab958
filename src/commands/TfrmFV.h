#pragma once

#include <QDialog>

class QLabel;

namespace tq {

// Shows the logger's firmware version text.
class TfrmFV : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmFV(QWidget* parent = nullptr);
    void setVersion(const QString& text);
    QString version() const;

  private:
    QLabel* m_value;
};

} // namespace tq
