// Lifecycle of a graph window: creation, the DataLogger registration, the
// panel toggles, "Split" and closing.

#include "TfrmGraph.h"

#include "Chart.h"
#include "DataListView.h"
#include "DataSetCollection.h"
#include "GraphInteractionState.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>

#include <utility>

namespace tq {

namespace {
const QString kDataLoggerCaption = QStringLiteral("DataLogger");
constexpr int kDataSetsWidth = 356;

QPointer<TfrmGraph>& registration() {
    static QPointer<TfrmGraph> window;
    return window;
}

TfrmGraph::CloseQuery& closeQuery() {
    static TfrmGraph::CloseQuery query;
    return query;
}
} // namespace

TfrmGraph::TfrmGraph(const LoggerModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
    setObjectName(QStringLiteral("frmGraph"));
    setWindowTitle(QStringLiteral("Graph"));
    buildLayout();
    resize(1089, 608);
    connectHandlers();
}

TfrmGraph::~TfrmGraph() {
    if (registration() == this) registration() = nullptr;
}

TfrmGraph* TfrmGraph::dataLoggerWindow() {
    return registration().data();
}

void TfrmGraph::becomeDataLoggerWindow() {
    setWindowTitle(kDataLoggerCaption);
    registration() = this;
}

bool TfrmGraph::isDataLogger() const {
    return windowTitle() == kDataLoggerCaption;
}

void TfrmGraph::setDataLoggerCloseQuery(CloseQuery query) {
    closeQuery() = std::move(query);
}

void TfrmGraph::closeAfterSave() {
    m_closeAsked = true;
    // Inside the main window the frame closes, and with it this window.
    if (!(parentWidget() ? parentWidget() : this)->close()) m_closeAsked = false;
}

void TfrmGraph::connectHandlers() {
    connect(ToolButton1, &QToolButton::clicked, this, &TfrmGraph::ToolButton1Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TfrmGraph::ToolButton2Click);
    connect(ToolButton4, &QToolButton::clicked, this, &TfrmGraph::ToolButton4Click);
    connect(ToolButton5, &QToolButton::clicked, this, &TfrmGraph::ToolButton5Click);
    connect(ToolButton9, &QToolButton::clicked, this, &TfrmGraph::ToolButton9Click);
    connect(UndoZoom, &QPushButton::clicked, this, &TfrmGraph::UndoZoomClick);
    connect(Button1, &QPushButton::clicked, this, &TfrmGraph::Button1Click);
    connect(chkSplit, &QCheckBox::clicked, this, &TfrmGraph::chkSplitClick);
    connect(chkTextList, &QCheckBox::clicked, this, &TfrmGraph::chkTextListClick);
    // Keys move the current row too; whatever moves it shows that data set.
    Grid2->installEventFilter(this);
    addCompareAction();
    connect(Grid2, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow, int) {
        if (row == previousRow || row < 0) return;
        m_dataSetRowPressed = QApplication::mouseButtons() != Qt::NoButton;
        Grid2Click(row);
    });
    connect(Grid2, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (std::exchange(m_dataSetRowPressed, false)) return;
        Grid2Click(row);
    });
    connect(Grid3, &DataListView::readingClicked, this, &TfrmGraph::Grid3Click);
    connect(Grid3, &DataListView::currentReadingMoved, this, &TfrmGraph::Grid3CurrentRowChanged);
    connect(PESGraph1, &Chart::dataHotSpot, this, &TfrmGraph::PESGraph1DataHotSpot);
    connect(PESGraph1, &Chart::vertLineAnnotHotSpot, this, &TfrmGraph::PESGraph1VertLineAnnotHotSpot);
    connect(PESGraph1, &Chart::mouseMoved, this, &TfrmGraph::PESGraph1MouseMove);
    connect(PESGraph1, &Chart::mouseReleased, this, &TfrmGraph::PESGraph1MouseUp);
    connect(PESGraph1, &Chart::clicked, this, &TfrmGraph::PESGraph1Click);
    connect(PESGraph1, &Chart::graphHotSpot, this, &TfrmGraph::PESGraph1GraphHotSpot);
    connect(PESGraph1, &Chart::graphAnnotHotSpot, this, &TfrmGraph::PESGraph1GraphAnnotHotSpot);
    connect(PESGraph1, &Chart::zoomIn, this, &TfrmGraph::PESGraph1ZoomIn);
    connect(PESGraph1, &Chart::customizeDlg, this, &TfrmGraph::PESGraph1CustomizeDlg);
}

void TfrmGraph::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) setToolMode(int(ToolMode::Normal));
}

bool TfrmGraph::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Grid2 && event->type() == QEvent::KeyPress) {
        // Home and End go to the first and last data set, not along a row.
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Home || key->key() == Qt::Key_End) && key->modifiers() == Qt::NoModifier &&
            Grid2->rowCount() > 0) {
            Grid2->setCurrentCell(key->key() == Qt::Key_Home ? 0 : Grid2->rowCount() - 1,
                                  qMax(0, Grid2->currentColumn()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmGraph::closeEvent(QCloseEvent* event) {
    DataSetCollection& collection = dataSetCollection();
    if (!m_closeAsked && isDataLogger() && collection.downloadUnsaved() && closeQuery() &&
        !closeQuery()(*this)) {
        event->ignore();
        return;
    }
    // Only the window that shows the download gives it up; closing any
    // other graph must not let Exit throw the download away unasked.
    if (isDataLogger()) collection.setDownloadUnsaved(false);
    if (registration() == this) registration() = nullptr;
    event->accept();
}

void TfrmGraph::showDataLists() {
    for (QWidget* w : std::initializer_list<QWidget*>{pnlDataSets, StaticText1, pnlDataList, Grid2, Grid3})
        w->setVisible(true);
    showDataSetsPanelBeside();
}

void TfrmGraph::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The splitter would keep the lists' width and take all of a shrink
    // from the graph: a narrowed window keeps most of its width for it.
    if (pnlDataSets->isVisible() && pnlDataSets->width() > width() / 3) showDataSetsPanelBeside();
}

void TfrmGraph::showDataSetsPanelBeside() {
    // A narrow window keeps most of its width for the graph.
    const int sets = qMin(kDataSetsWidth, width() / 3);
    m_mainSplitter->setSizes({sets, qMax(1, width() - sets)});
}

void TfrmGraph::ToolButton1Click() {
    pnlGraphStatistic->setVisible(ToolButton1->isChecked());
}

void TfrmGraph::ToolButton2Click() {
    pnlStatistic->setVisible(ToolButton2->isChecked());
}

void TfrmGraph::chkTextListClick() {
    const bool on = chkTextList->isChecked();
    if (isDataLogger()) {
        pnlDataList->setVisible(on);
        return;
    }
    // A file window has no data set list: the panel shows the data list alone.
    Grid3->setVisible(on);
    if (on && !pnlDataSets->isVisible()) showDataSetsPanelBeside();
    pnlDataSets->setVisible(on);
    pnlDataList->setVisible(on);
    Grid2->hide();
    StaticText1->hide();
}

void TfrmGraph::chkSplitClick() {
    if (chkSplit->isChecked()) {
        PESGraph1->setMultiAxesSubsets({1, 1});
        PESGraph1->setMultiAxesProportions({0.25, 0.25});
        setToolMode(int(ToolMode::Normal));
    } else {
        PESGraph1->setMultiAxesSubsets({});
        PESGraph1->setMultiAxesProportions({1.0});
        ToolButton5->setEnabled(true);
        ToolButton9->setEnabled(true);
    }
    PESGraph1->redraw();
    PESGraph1->reinitAndReset();
}

void TfrmGraph::updateToolAvailability() {
    const bool singleAxis = PESGraph1->multiAxesProportion(0) == 1.0;
    ToolButton5->setEnabled(singleAxis);
    ToolButton9->setEnabled(singleAxis);
}

} // namespace tq
