#pragma once

#include <QTableView>

class QScrollBar;

namespace tq {

class DataListModel;

// The data list's view. Its model shows one screenful of readings (see
// DataListModel); the view's own scroll bar runs over all readings and
// moves that window. The current reading, the selection and the anchor of a
// Shift selection are kept as reading indices, so they survive scrolling.
// Rows are selected whole; Home and End go to the first and the last
// reading, as in a list.
class DataListView : public QTableView {
    Q_OBJECT
  public:
    // The scroll bar is made a child of parent: whoever lays the view out
    // puts readingBar() beside it, where it shows while the view does.
    explicit DataListView(QWidget* parent = nullptr);

    void setList(DataListModel* list);
    DataListModel* list() const { return m_list; }
    QScrollBar* readingBar() const { return m_bar; }

    // The readings the list was filled with, and the first one on screen.
    int readings() const;
    int firstShown() const;
    // Readings wholly on screen, at least one.
    int pageReadings() const;
    void setFirstShown(int reading);
    // Puts a reading in the middle of the list, unless it lies in the
    // first screenful.
    void centerOn(int reading);

    int currentReading() const { return m_current; }
    // The selected readings, first to last; first > last when none is.
    int selectionFirst() const { return m_selFirst; }
    int selectionLast() const { return m_selLast; }
    // Makes a reading current, without scrolling to it; with select it
    // alone is selected, otherwise the selection stays as it is.
    void setCurrentReading(int reading, bool select);

    // A reading's cell in viewport coordinates, empty when it is not on
    // screen; the reading under a viewport point, -1 for none.
    QRect readingRect(int reading, int column = 0) const;
    int readingAt(const QPoint& pos) const;
    QString cellText(int reading, int column) const;

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void setVisible(bool visible) override;

  public slots:
    void selectAll() override;

  signals:
    // A row was pressed and released with the left button.
    void readingClicked(int reading);
    // The keyboard moved the current reading.
    void currentReadingMoved(int reading);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void updateGeometries() override;

  private:
    void listReset();
    void updateWindow();
    void updateBarVisibility();
    void syncSelection();
    void moveTo(int reading, bool extend);
    void ensureShown(int reading);
    int lineHeight() const;
    int windowRows() const;

    DataListModel* m_list = nullptr;
    QScrollBar* m_bar = nullptr;
    int m_current = -1;
    int m_anchor = -1;
    int m_selFirst = 0;
    int m_selLast = -1;
    int m_column = 0;
    int m_pressed = -1;
    bool m_syncing = false;
    bool m_updating = false;
};

} // namespace tq
