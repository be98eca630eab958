#pragma once

#include <QDialog>

class QPushButton;

namespace tq {

// The choice between all data sets (a collection file) and one data set,
// for opening and for saving. Its result: 1 collection, 7 single data set,
// 2 cancel (also the close box).
class TfrmOpenSave : public QDialog {
    Q_OBJECT
  public:
    enum Result { Collection = 1, Cancel = 2, SingleSet = 7 };

    explicit TfrmOpenSave(QWidget* parent = nullptr);

    QPushButton* btnOpenSets = nullptr;
    QPushButton* btnOpenSingleSet = nullptr;
    QPushButton* Button1 = nullptr;

    void reject() override { done(Cancel); }
};

} // namespace tq
