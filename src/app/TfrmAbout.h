#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tq {

// The about box; at start-up it doubles as the splash window, with its OK
// button hidden and its status label showing progress.
class TfrmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QLabel* Label4 = nullptr; // status label, used by the splash only
    QPushButton* btnOK = nullptr;

    void setStatus(const QString& text); // shows and repaints at once
    static QString versionText();

  protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tq
