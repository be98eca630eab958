#pragma once

#include "DownloadResult.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tq {

// The download's error dialog: what went wrong, and the choice to try
// again, to keep what is intact (data errors only) or to give up.
class TfrmErr : public QDialog {
    Q_OBJECT
  public:
    // The modal results, with the numbers the program has always used.
    enum ModalResult { mrOk = 1, mrCancel = 2, mrRetry = 4 };

    explicit TfrmErr(QWidget* parent = nullptr);

    // Sets the label for a DataError or a ReadError; "Fixed the error " is
    // offered for a DataError only.
    void showResult(DownloadResult result);
    static QString textFor(DownloadResult result);

    // The close box and Escape answer Cancel.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* m_label;
    QPushButton* m_fixed;
};

} // namespace tq
