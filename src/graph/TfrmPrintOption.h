#pragma once

#include <QDialog>

namespace tq {

// "Print Option": print the graph or the data list, or cancel.
class TfrmPrintOption : public QDialog {
    Q_OBJECT
  public:
    enum Result { PrintGraph = 1, Cancelled = 2, PrintText = 3 };

    explicit TfrmPrintOption(QWidget* parent = nullptr);
};

} // namespace tq
