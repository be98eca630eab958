#pragma once

#include <QTableView>

namespace tq {

// The data list's view: rows are selected whole, so Home and End go to the
// first and the last row (with or without Ctrl), as in a list, instead of
// to the first and the last column of the current row.
class DataListView : public QTableView {
    Q_OBJECT
  public:
    using QTableView::QTableView;

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

} // namespace tq
