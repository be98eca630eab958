// Interaction on a graph window: selection marker, cursors A and B, tool
// modes with cross and text annotations, zoom and the customisation dialog.

#include "TfrmGraph.h"

#include "Chart.h"
#include "CommandGuard.h"
#include "DataListModel.h"
#include "DataListView.h"
#include "GraphArtwork.h"
#include "GraphInteractionState.h"
#include "GraphStatistics.h"
#include "PrepareGraph.h"
#include "Regional.h"
#include "TfrmAnnoEdit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QToolButton>

namespace tq {

namespace {
const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kDragGrey(190, 190, 190);

bool inside(const QRect& r, const QPoint& p) {
    return r.left() <= p.x() && p.x() <= r.right() && r.top() <= p.y() && p.y() <= r.bottom();
}
} // namespace

void TfrmGraph::setToolMode(int mode) {
    graphInteraction().toolMode = ToolMode(mode);
    switch (ToolMode(mode)) {
    case ToolMode::Normal:
        PESGraph1->setArrowCursor(Chart::ArrowNormal);
        ToolButton4->setChecked(true);
        break;
    case ToolMode::Cross:
        PESGraph1->setCustomCursor(crossPointer());
        break;
    case ToolMode::Text:
        PESGraph1->setArrowCursor(Chart::ArrowText);
        break;
    }
}

void TfrmGraph::ToolButton4Click() {
    setToolMode(int(ToolMode::Normal));
}
void TfrmGraph::ToolButton5Click() {
    setToolMode(int(ToolMode::Cross));
}
void TfrmGraph::ToolButton9Click() {
    setToolMode(int(ToolMode::Text));
}

void TfrmGraph::selectPoint(int i) {
    Chart& c = *PESGraph1;
    c.setLineAnnotationTextSize(100);
    const double x = c.x(0, i);
    c.setVertLine(0, x);
    c.setVertLineType(0, Chart::LineThin);
    c.setVertLineColor(0, kBlack);
    m_aIndex = tq::cursorAIndex(c.points());
    m_bIndex = tq::cursorBIndex(c.points());
    c.setVertLine(1, c.x(0, m_aIndex));
    c.setVertLine(2, c.x(0, m_bIndex));
    refreshCursorStatistics();
    c.setVertLineText(0, timeText(x) + QLatin1Char(' ') + valueText(c.y(0, i), 1));
    // Only the lines moved: the data is not drawn again.
    c.invalidateImage();
}

void TfrmGraph::refreshCursorStatistics() {
    const Chart& c = *PESGraph1;
    if (c.points() <= 0) {
        for (QLineEdit* box : {txtCursorA, txtCursorATime, txtCursorB, txtCursorBTime, txtMaxAB, txtMaxABTime,
                               txtAvgAB, txtMinAB, txtMinABTime})
            box->clear();
        return;
    }
    if (!m_cursorRange.built(c.xData(0), c.yData(0), c.points(), c.dataRevision()))
        m_cursorRange.build(c.xData(0), c.yData(0), c.points(), c.dataRevision());
    const CursorStatistics s = m_cursorRange.between(m_aIndex, m_bIndex);
    // An out-of-range mark reads "OL" here as everywhere else; shown as a
    // number it would pass for a reading of -9999.0 degrees.
    txtCursorA->setText(rangedValueText(s.valueA));
    txtCursorATime->setText(dateTimeText(s.timeA));
    txtCursorB->setText(rangedValueText(s.valueB));
    txtCursorBTime->setText(dateTimeText(s.timeB));
    txtMaxAB->setText(rangedValueText(s.max));
    txtMaxABTime->setText(dateTimeText(s.maxTime));
    txtMinAB->setText(rangedValueText(s.min));
    txtMinABTime->setText(dateTimeText(s.minTime));
    txtAvgAB->setText(s.readings > 0 ? valueText(s.average, 1) : noAverageText());
}

int TfrmGraph::nearestPoint() const {
    const Chart& c = *PESGraph1;
    const QPoint pos = c.lastMousePos();
    // Cursor A's index may predate a chart that was prepared again with
    // fewer points.
    if (!inside(c.plotRect(), pos)) return clampIndex(m_aIndex, c.points());
    const double x = c.pixelToValue(pos).x();
    return nearestIndex(c.points(), x, [&c](int i) { return c.x(0, i); });
}

void TfrmGraph::Grid3Click(int row) {
    // A list filled before the chart was prepared again may hold rows the
    // chart no longer has (they show empty): nothing to mark there.
    if (row >= PESGraph1->points()) return;
    selectPoint(row);
}

void TfrmGraph::Grid3CurrentRowChanged(int row) {
    // The keyboard moved the current row: the marker follows, as a click
    // would have it.
    if (m_selectingRow) return;
    Grid3Click(row);
}

void TfrmGraph::selectDataRow(int row) {
    if (row < 0 || row >= Grid3->readings()) return;
    const QScopedValueRollback<bool> quiet(m_selectingRow, true);
    Grid3->setCurrentReading(row, true);
    // The row lands in the middle of the list when it lies below the first
    // screenful.
    Grid3->centerOn(row);
}

void TfrmGraph::PESGraph1DataHotSpot(bool, int, int point) {
    if (point < 0 || point >= PESGraph1->points()) return;
    selectDataRow(point);
    selectPoint(point);
}

void TfrmGraph::PESGraph1VertLineAnnotHotSpot(bool, int index) {
    bool* dragged = index == 1 ? &m_aDragged : index == 2 ? &m_bDragged : nullptr;
    if (!dragged || *dragged) return;
    *dragged = true;
    if (!m_clock.isValid()) m_clock.start();
    m_throttle.start(m_clock.elapsed());
    PESGraph1->setVertLineColor(index, kDragGrey);
    PESGraph1->invalidateImage();
}

void TfrmGraph::moveDraggedCursor(bool& dragged, int line, double x) {
    if (!dragged || !m_throttle.take(m_clock.elapsed())) return;
    PESGraph1->setVertLine(line, x);
    PESGraph1->invalidateImage();
}

void TfrmGraph::PESGraph1MouseMove() {
    if (!m_aDragged && !m_bDragged) return;
    const QPoint pos = PESGraph1->lastMousePos();
    if (!inside(PESGraph1->plotRect(), pos)) return;
    const double x = PESGraph1->pixelToValue(pos).x();
    moveDraggedCursor(m_aDragged, 1, x);
    moveDraggedCursor(m_bDragged, 2, x);
}

void TfrmGraph::PESGraph1MouseUp() {
    Chart& c = *PESGraph1;
    c.setVertLineColor(1, kBlue);
    c.setVertLineColor(2, kGreen);
    const int points = c.points();
    if (points < 2 || c.x(0, 0) == c.x(0, points - 1)) {
        m_aDragged = m_bDragged = false;
    } else {
        if (m_aDragged) {
            m_aDragged = false;
            m_aIndex = nearestPoint();
            c.setVertLine(1, c.x(0, m_aIndex));
        }
        if (m_bDragged) {
            m_bDragged = false;
            m_bIndex = nearestPoint();
            c.setVertLine(2, c.x(0, m_bIndex));
        }
        refreshCursorStatistics();
    }
    c.invalidateImage();
}

void TfrmGraph::PESGraph1Click() {
    const ToolMode mode = graphInteraction().toolMode;
    if (mode == ToolMode::Normal) return;
    // The pointer pictures put their mark this far from the hot spot.
    const QPoint offset = mode == ToolMode::Text ? QPoint(1, 7) : QPoint(15, 15);
    const QPoint pos = PESGraph1->lastMousePos() + offset;
    if (!inside(PESGraph1->plotRect(), pos)) return;
    const QPointF value = PESGraph1->pixelToValue(pos, 0);
    GraphInteractionState& shared = graphInteraction();
    if (mode == ToolMode::Cross) {
        ++shared.annotationCounter;
        PESGraph1->setGraphAnnotation(shared.annotationCounter, value.x(), value.y(), Chart::AnnotCross,
                                      QString(), kBlack);
    } else {
        const std::optional<QString> text = TfrmAnnoEdit::ask(this);
        if (!text) return;
        ++shared.annotationCounter;
        PESGraph1->setGraphAnnotation(shared.annotationCounter, value.x(), value.y(), Chart::AnnotText, *text,
                                      kBlack);
    }
    PESGraph1->redraw();
}

void TfrmGraph::PESGraph1GraphHotSpot() {
    PESGraph1->setToolTip(QStringLiteral("Double click to delete."));
}

void TfrmGraph::PESGraph1GraphAnnotHotSpot(bool dblClick, int index) {
    if (!dblClick) return;
    Chart& c = *PESGraph1;
    c.setGraphAnnotation(index, c.graphAnnotationX(index), c.graphAnnotationY(index), Chart::AnnotText,
                         QString(), c.graphAnnotationColor(index));
    c.redraw();
}

void TfrmGraph::PESGraph1ZoomIn() {
    UndoZoom->setEnabled(true);
}

void TfrmGraph::UndoZoomClick() {
    PESGraph1->undoZoom();
    PESGraph1->redraw();
    UndoZoom->setEnabled(false);
}

void TfrmGraph::Button1Click() {
    Chart& c = *PESGraph1;
    const double minX = c.manualMinX();
    const double maxX = c.manualMaxX();
    c.customize();
    c.setManualX(minX, maxX);
    c.setWorkingAxis(0);
    c.undoZoom();
    UndoZoom->setEnabled(false);
    c.redraw();
}

void TfrmGraph::PESGraph1CustomizeDlg(bool accepted) {
    if (!accepted) return;
    guarded([this] {
        saveGraphTemplate(*PESGraph1);
        PESGraph1->redraw();
    });
}

} // namespace tq
