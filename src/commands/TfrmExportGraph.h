#pragma once

#include <QDialog>

class QSpinBox;

namespace tq {

// Export Graph: the size of the picture, in pixels. The format follows the
// file name chosen next.
class TfrmExportGraph : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmExportGraph(const QSize& initial, QWidget* parent = nullptr);
    QSize chosenSize() const;

    QSpinBox* spnWidth = nullptr;
    QSpinBox* spnHeight = nullptr;
};

} // namespace tq
