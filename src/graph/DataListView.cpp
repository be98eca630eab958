#include "DataListView.h"

#include "DataListModel.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace tq {

DataListView::DataListView(QWidget* parent)
    // Without a parent to lay it out in, the bar stays hidden inside the view.
    : QTableView(parent), m_bar(new QScrollBar(Qt::Vertical, parent ? parent : this)) {
    // The view's own vertical scrolling would move within the window only.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_bar->setObjectName(QStringLiteral("Grid3Scroll"));
    m_bar->setSingleStep(1);
    m_bar->hide();
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int first) {
        if (!m_list) return;
        m_list->setWindow(first, windowRows());
        syncSelection();
    });
}

void DataListView::setList(DataListModel* list) {
    m_list = list;
    setModel(list);
    connect(list, &QAbstractItemModel::modelReset, this, &DataListView::listReset);
    listReset();
}

int DataListView::readings() const {
    return m_list ? m_list->readings() : 0;
}

int DataListView::firstShown() const {
    return m_list ? m_list->first() : 0;
}

int DataListView::lineHeight() const {
    return std::max(1, verticalHeader()->defaultSectionSize());
}

int DataListView::windowRows() const {
    // The last row may show in part; a list not laid out yet still shows
    // its first row.
    return std::max(1, (viewport()->height() + lineHeight() - 1) / lineHeight());
}

int DataListView::pageReadings() const {
    return std::max(1, viewport()->height() / lineHeight());
}

void DataListView::setFirstShown(int reading) {
    m_bar->setValue(std::clamp(reading, 0, m_bar->maximum()));
}

void DataListView::centerOn(int reading) {
    const int page = pageReadings();
    setFirstShown(reading + 1 > page ? reading - page / 2 : 0);
}

void DataListView::ensureShown(int reading) {
    const int first = firstShown();
    const int page = pageReadings();
    if (reading < first)
        setFirstShown(reading);
    else if (reading >= first + page)
        setFirstShown(reading - page + 1);
}

void DataListView::setCurrentReading(int reading, bool select) {
    if (reading < 0 || reading >= readings()) return;
    m_current = reading;
    m_anchor = reading;
    if (select) m_selFirst = m_selLast = reading;
    syncSelection();
}

QRect DataListView::readingRect(int reading, int column) const {
    if (!m_list) return {};
    const int row = reading - m_list->first();
    if (row < 0 || row >= m_list->rowCount()) return {};
    return visualRect(m_list->index(row, column));
}

int DataListView::readingAt(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    return index.isValid() && m_list ? m_list->first() + index.row() : -1;
}

QString DataListView::cellText(int reading, int column) const {
    return m_list ? m_list->text(reading, column) : QString();
}

void DataListView::listReset() {
    m_current = m_anchor = -1;
    m_selFirst = 0;
    m_selLast = -1;
    {
        const QSignalBlocker quiet(m_bar);
        m_bar->setValue(0);
    }
    updateWindow();
}

void DataListView::updateWindow() {
    if (!m_list || m_updating) return;
    const QScopedValueRollback<bool> busy(m_updating, true);
    const int page = pageReadings();
    {
        const QSignalBlocker quiet(m_bar);
        m_bar->setRange(0, std::max(0, m_list->readings() - page));
        m_bar->setPageStep(page);
    }
    m_list->setWindow(m_bar->value(), windowRows());
    syncSelection();
    updateBarVisibility();
}

void DataListView::updateBarVisibility() {
    if (m_bar->parentWidget() != this) m_bar->setVisible(!isHidden() && m_bar->maximum() > 0);
}

void DataListView::setVisible(bool visible) {
    QTableView::setVisible(visible);
    updateBarVisibility();
}

void DataListView::syncSelection() {
    if (!m_list || !selectionModel() || m_syncing) return;
    const QScopedValueRollback<bool> busy(m_syncing, true);
    const int first = m_list->first();
    const int rows = m_list->rowCount();
    const int columns = m_list->columnCount();
    QItemSelection selection;
    const int top = std::max(m_selFirst, first);
    const int bottom = std::min(m_selLast, first + rows - 1);
    if (top <= bottom && columns > 0)
        selection.select(m_list->index(top - first, 0), m_list->index(bottom - first, columns - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const bool shown = m_current >= first && m_current < first + rows;
    selectionModel()->setCurrentIndex(shown ? m_list->index(m_current - first, m_column) : QModelIndex(),
                                      QItemSelectionModel::NoUpdate);
}

void DataListView::moveTo(int reading, bool extend) {
    m_current = reading;
    if (!extend || m_anchor < 0) m_anchor = reading;
    m_selFirst = std::min(m_anchor, reading);
    m_selLast = std::max(m_anchor, reading);
    ensureShown(reading);
    syncSelection();
}

void DataListView::selectAll() {
    if (readings() == 0) return;
    m_selFirst = 0;
    m_selLast = readings() - 1;
    syncSelection();
}

void DataListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // Whoever asks for a row (the view itself when its current row changes)
    // is answered by moving the window; the view scrolls sideways only.
    if (m_list && index.isValid() && !m_syncing) {
        const int reading = m_list->first() + index.row();
        switch (hint) {
        case PositionAtTop:
            setFirstShown(reading);
            break;
        case PositionAtBottom:
            setFirstShown(reading - pageReadings() + 1);
            break;
        case PositionAtCenter:
            setFirstShown(reading - pageReadings() / 2);
            break;
        default:
            ensureShown(reading);
            break;
        }
        const int row = reading - m_list->first();
        if (row >= 0 && row < m_list->rowCount())
            QTableView::scrollTo(m_list->index(row, index.column()), EnsureVisible);
        return;
    }
    QTableView::scrollTo(index, hint);
}

void DataListView::keyPressEvent(QKeyEvent* event) {
    const int count = readings();
    const int page = pageReadings();
    const int from = m_current >= 0 ? m_current : firstShown();
    int to = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        to = m_current >= 0 ? from - 1 : from;
        break;
    case Qt::Key_Down:
        to = m_current >= 0 ? from + 1 : from;
        break;
    case Qt::Key_PageUp:
        to = from - page;
        break;
    case Qt::Key_PageDown:
        to = from + page;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = count - 1;
        break;
    default: {
        // Other keys (sideways moves, a typed search) work on the rows on
        // screen; what they make current becomes the current reading.
        QTableView::keyPressEvent(event);
        const QModelIndex current = currentIndex();
        if (m_list && current.isValid()) {
            m_column = current.column();
            const int reading = m_list->first() + current.row();
            if (reading != m_current) {
                moveTo(reading, false);
                emit currentReadingMoved(reading);
            }
        }
        syncSelection();
        return;
    }
    }
    event->accept();
    if (count == 0) return;
    to = std::clamp(to, 0, count - 1);
    const bool moved = to != m_current;
    moveTo(to, event->modifiers().testFlag(Qt::ShiftModifier));
    if (moved) emit currentReadingMoved(to);
}

void DataListView::mousePressEvent(QMouseEvent* event) {
    const int reading = readingAt(event->position().toPoint());
    // Any button selects, as in a table view; only the left one clicks.
    m_pressed = -1;
    if (reading < 0) return;
    if (event->button() == Qt::LeftButton) m_pressed = reading;
    if (const QModelIndex index = indexAt(event->position().toPoint()); index.isValid())
        m_column = index.column();
    moveTo(reading, event->modifiers().testFlag(Qt::ShiftModifier));
}

void DataListView::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressed < 0 || !event->buttons().testFlag(Qt::LeftButton)) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    // Dragging selects from the pressed reading on; beyond the top or the
    // bottom the list scrolls a reading at a time.
    const QPoint pos = event->position().toPoint();
    int reading = readingAt(pos);
    if (pos.y() < 0)
        reading = std::max(0, firstShown() - 1);
    else if (pos.y() >= viewport()->height())
        reading = std::min(readings() - 1, firstShown() + pageReadings());
    else if (reading < 0)
        reading = readings() - 1;
    if (reading >= 0) moveTo(reading, true);
}

void DataListView::mouseReleaseEvent(QMouseEvent* event) {
    const int pressed = std::exchange(m_pressed, -1);
    if (event->button() == Qt::LeftButton && pressed >= 0 &&
        readingAt(event->position().toPoint()) == pressed)
        emit readingClicked(pressed);
}

void DataListView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like the first.
    mousePressEvent(event);
}

void DataListView::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    if (std::abs(delta.y()) >= std::abs(delta.x())) {
        QCoreApplication::sendEvent(m_bar, event);
        event->accept();
        return;
    }
    QTableView::wheelEvent(event);
}

void DataListView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    // The view makes a row current when it gets the focus without one.
    syncSelection();
}

bool DataListView::viewportEvent(QEvent* event) {
    const bool handled = QTableView::viewportEvent(event);
    if (event->type() == QEvent::Resize) updateWindow();
    return handled;
}

void DataListView::updateGeometries() {
    QTableView::updateGeometries();
    // Every row of the window is laid out from the top.
    verticalScrollBar()->setRange(0, 0);
    updateWindow();
}

} // namespace tq
