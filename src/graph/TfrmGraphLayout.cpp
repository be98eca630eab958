// The controls of a graph window and their arrangement.

#include "TfrmGraph.h"

#include "Chart.h"
#include "DataListModel.h"
#include "DataListView.h"
#include "GraphArtwork.h"
#include "GraphStatistics.h"
#include "ListColumns.h"
#include "LoggerModel.h"
#include "Regional.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tq {

namespace {
template <class W> W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

QLineEdit* statBox(QWidget* parent, const char* name, int width, const QColor& colour = Qt::black) {
    auto* box = named(new QLineEdit(parent), name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setFixedWidth(width);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Text, colour);
    box->setPalette(pal);
    return box;
}

QLabel* caption(const QString& text, QWidget* parent, const QColor& colour = QColor()) {
    auto* label = new QLabel(text, parent);
    if (colour.isValid()) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, colour);
        label->setPalette(pal);
    }
    return label;
}

// The described widths, the least each column gets.
const QList<int> kDataSetWidths{25, 60, 60, 65, 40, 40, 40};
const QList<int> kDataListWidths{35, 60, 70, 60, 60};
constexpr int kDataSetRowHeight = 18;
constexpr int kDataListRowHeight = 16;

void configure(QTableView* g) {
    g->verticalHeader()->hide();
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
}

QToolButton* toolButton(QToolBar* bar, const char* name, const QString& hint, const QIcon& icon,
                        bool checked) {
    auto* b = named(new QToolButton(bar), name);
    b->setToolTip(hint);
    b->setIcon(icon);
    b->setIconSize(QSize(24, 24));
    b->setCheckable(true);
    b->setChecked(checked);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

const QColor kCursorA(0, 0, 255);
const QColor kCursorB(0, 140, 0);

// A panel as high as its contents, whatever the font and scale; in a window
// narrower than its contents it scrolls sideways instead of squeezing them
// over each other or widening the window.
class SideScrollPanel : public QScrollArea {
  public:
    explicit SideScrollPanel(QWidget* parent) : QScrollArea(parent) {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setWidget(new QWidget(this));
        widget()->setAutoFillBackground(false);
        viewport()->setAutoFillBackground(false);
    }
    QSize sizeHint() const override { return QSize(widget()->sizeHint().width(), neededHeight(width())); }
    QSize minimumSizeHint() const override { return QSize(kMinWidth, neededHeight(width())); }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        if (neededHeight(event->size().width()) != neededHeight(event->oldSize().width())) updateGeometry();
    }

  private:
    static constexpr int kMinWidth = 120;
    int neededHeight(int width) const {
        const QSize content = widget()->minimumSizeHint();
        const bool scrolls = content.width() > width;
        return content.height() + (scrolls ? horizontalScrollBar()->sizeHint().height() : 0);
    }
};
} // namespace

void TfrmGraph::buildLayout() {
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_mainSplitter = named(new QSplitter(Qt::Horizontal, this), "Splitter3");
    outer->addWidget(m_mainSplitter);

    // Left: the data set list above the data list.
    pnlDataSets = named(new QWidget(m_mainSplitter), "pnlDataSets");
    auto* left = new QVBoxLayout(pnlDataSets);
    left->setContentsMargins(4, 4, 2, 4);
    StaticText1 = named(new QLabel(QStringLiteral("Data Sets"), pnlDataSets), "StaticText1");
    StaticText1->setStyleSheet(QStringLiteral("font-weight: bold;"));
    left->addWidget(StaticText1);
    m_listSplitter = named(new QSplitter(Qt::Vertical, pnlDataSets), "Splitter1");
    left->addWidget(m_listSplitter, 1);
    Grid2 = named(new QTableWidget(0, int(kDataSetWidths.size()), m_listSplitter), "Grid2");
    Grid2->setHorizontalHeaderLabels({QStringLiteral("Set"), QStringLiteral("DATE"), QStringLiteral("TIME"),
                                      QStringLiteral("Rate"), QStringLiteral("Num."), QStringLiteral("Type"),
                                      QStringLiteral("Unit")});
    configure(Grid2);
    Grid2->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid2->setTabKeyNavigation(false); // Tab leaves the list
    Grid2->setCursor(Qt::PointingHandCursor);
    Grid2->setFont(QFont(QStringLiteral("Arial"), 9));
    Grid2->setRowCount(1);
    for (int c = 0; c < Grid2->columnCount(); ++c)
        Grid2->setItem(0, c, new QTableWidgetItem(QString()));
    for (int c = 0; c < kDataSetWidths.size(); ++c)
        Grid2->setColumnWidth(c, kDataSetWidths[c]);
    fitDataSetColumns();

    pnlDataList = named(new QWidget(m_listSplitter), "pnlDataList");
    auto* listBox = new QVBoxLayout(pnlDataList);
    listBox->setContentsMargins(0, 4, 0, 0);
    StaticText2 = named(new QLabel(QStringLiteral("Data List"), pnlDataList), "StaticText2");
    StaticText2->setStyleSheet(QStringLiteral("font-weight: bold;"));
    listBox->addWidget(StaticText2);
    // The data list gets its model once the chart exists (buildDataList).
    Grid3 = named(new DataListView(pnlDataList), "Grid3");
    configure(Grid3);
    Grid3->setSelectionMode(QAbstractItemView::ContiguousSelection);
    Grid3->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    Grid3->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid3->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    auto* listRow = new QHBoxLayout;
    listRow->setSpacing(0);
    listRow->addWidget(Grid3, 1);
    listRow->addWidget(Grid3->readingBar());
    listBox->addLayout(listRow, 1);
    m_listSplitter->setSizes({160, 400});
    pnlDataSets->hide();
    pnlDataList->hide();

    // Right: tool bar, statistics panel 1, chart, statistics panel 2.
    auto* graphArea = new QWidget(m_mainSplitter);
    auto* right = new QVBoxLayout(graphArea);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);

    ToolBar1 = named(new QToolBar(graphArea), "ToolBar1");
    ToolBar1->setIconSize(QSize(24, 24));
    ToolButton1 =
        toolButton(ToolBar1, "ToolButton1", QStringLiteral("Toggle Statistic 1"), statisticIcon(1), true);
    ToolButton2 =
        toolButton(ToolBar1, "ToolButton2", QStringLiteral("Toggle Statistic 2"), statisticIcon(2), true);
    ToolBar1->addSeparator();
    ToolButton4 =
        toolButton(ToolBar1, "ToolButton4", QStringLiteral("Normal Cursor"), normalCursorIcon(), true);
    ToolButton5 =
        toolButton(ToolBar1, "ToolButton5", QStringLiteral("Draw A Cross On Graph"), crossToolIcon(), false);
    ToolButton9 = toolButton(ToolBar1, "ToolButton9", QStringLiteral("Text"), textToolIcon(), false);
    auto* tools = new QButtonGroup(this);
    tools->setExclusive(true);
    tools->addButton(ToolButton4);
    tools->addButton(ToolButton5);
    tools->addButton(ToolButton9);
    ToolBar1->addSeparator();
    UndoZoom = named(new QPushButton(undoZoomIcon(), QStringLiteral("Undo Zoom"), ToolBar1), "UndoZoom");
    UndoZoom->setEnabled(false);
    ToolBar1->addWidget(UndoZoom);
    Button1 = named(new QPushButton(graphOptionIcon(), QStringLiteral("Graph Option"), ToolBar1), "Button1");
    Button1->setToolTip(QStringLiteral("Graph Customization"));
    ToolBar1->addWidget(Button1);
    auto* gap = new QWidget(ToolBar1);
    gap->setFixedWidth(10);
    ToolBar1->addWidget(gap);
    chkSplit = named(new QCheckBox(QStringLiteral("Split"), ToolBar1), "chkSplit");
    ToolBar1->addWidget(chkSplit);
    right->addWidget(ToolBar1);

    auto* stat1Panel = named(new SideScrollPanel(graphArea), "pnlGraphStatistic");
    stat1Panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    pnlGraphStatistic = stat1Panel;
    auto* stat1 = new QHBoxLayout(stat1Panel->widget());
    stat1->setContentsMargins(8, 4, 8, 4);
    txtStartTime = statBox(pnlGraphStatistic, "txtStartTime", 170);
    txtSamplingRate = statBox(pnlGraphStatistic, "txtSamplingRate", 56);
    txtSamplingRate->setText(QStringLiteral("00:02"));
    txtDataNo = statBox(pnlGraphStatistic, "txtDataNo", 70);
    txtDataNo->setText(QStringLiteral("0"));
    chkTextList = named(new QCheckBox(QStringLiteral("Text List"), pnlGraphStatistic), "chkTextList");
    chkTextList->setChecked(true);
    stat1->addWidget(caption(QStringLiteral("Start Time"), pnlGraphStatistic));
    stat1->addWidget(txtStartTime);
    stat1->addSpacing(14);
    stat1->addWidget(caption(QStringLiteral("Sampling Rate"), pnlGraphStatistic));
    stat1->addWidget(txtSamplingRate);
    stat1->addWidget(caption(QStringLiteral("mm:ss"), pnlGraphStatistic));
    stat1->addSpacing(14);
    stat1->addWidget(caption(QStringLiteral("Data No."), pnlGraphStatistic));
    stat1->addWidget(txtDataNo);
    stat1->addStretch();
    stat1->addWidget(chkTextList);
    right->addWidget(pnlGraphStatistic);

    auto* chartSplitter = named(new QSplitter(Qt::Vertical, graphArea), "Splitter2");
    right->addWidget(chartSplitter, 1);
    PESGraph1 = named(new Chart(chartSplitter), "PESGraph1");
    // Two stacked axes stay readable; a low work area scrolls instead.
    PESGraph1->setMinimumHeight(240);
    // The logger's out-of-range marks (+-9999.0) are no readings: gaps.
    PESGraph1->setOutOfRangeLimitY(kOutOfRangeLimit);
    buildDataList();

    auto* stat2Panel = named(new SideScrollPanel(chartSplitter), "pnlStatistic");
    pnlStatistic = stat2Panel;
    auto* stat2 = new QVBoxLayout(stat2Panel->widget());
    stat2->setContentsMargins(8, 6, 8, 6);
    stat2->setSpacing(4);
    constexpr int kValue = 56;
    // Wide enough for a date-time in the user's formats.
    const int kTime =
        fontMetrics().horizontalAdvance(dateTimeText(toDays(QDate(2024, 12, 28), QTime(23, 59, 58)))) + 14;
    txtT1Max = statBox(pnlStatistic, "txtT1Max", 180);
    txtT1Min = statBox(pnlStatistic, "txtT1Min", 180);
    txtT1Avg = statBox(pnlStatistic, "txtT1Avg", 70);
    for (QLineEdit* box : {txtT1Max, txtT1Min, txtT1Avg})
        box->setText(QStringLiteral("***.* "));
    txtCursorA = statBox(pnlStatistic, "txtCursorA", kValue, kCursorA);
    txtCursorATime = statBox(pnlStatistic, "txtCursorATime", kTime, kCursorA);
    txtCursorB = statBox(pnlStatistic, "txtCursorB", kValue, kCursorB);
    txtCursorBTime = statBox(pnlStatistic, "txtCursorBTime", kTime, kCursorB);
    txtMaxAB = statBox(pnlStatistic, "txtMaxAB", kValue);
    txtMaxABTime = statBox(pnlStatistic, "txtMaxABTime", kTime);
    txtAvgAB = statBox(pnlStatistic, "txtAvgAB", kValue);
    txtMinAB = statBox(pnlStatistic, "txtMinAB", kValue);
    txtMinABTime = statBox(pnlStatistic, "txtMinABTime", kTime);

    auto at = [](const char* text) { return QString::fromLatin1(text); };
    // Row 1: overall statistics.
    auto* overall = new QHBoxLayout;
    overall->setSpacing(6);
    overall->addWidget(caption(at("T1 MAX "), pnlStatistic));
    overall->addWidget(txtT1Max);
    overall->addSpacing(8);
    overall->addWidget(caption(at("MIN"), pnlStatistic));
    overall->addWidget(txtT1Min);
    overall->addSpacing(8);
    overall->addWidget(caption(at("AVG"), pnlStatistic));
    overall->addWidget(txtT1Avg);
    overall->addStretch();
    stat2->addLayout(overall);
    // Rows 2 to 4: the cursors and what lies between them, in columns.
    auto* cursors = new QGridLayout;
    cursors->setHorizontalSpacing(4);
    cursors->setVerticalSpacing(4);
    cursors->addWidget(caption(at("Cursor A"), pnlStatistic, kCursorA), 0, 0);
    cursors->addWidget(txtCursorA, 0, 1);
    cursors->addWidget(caption(at("@"), pnlStatistic, kCursorA), 0, 2);
    cursors->addWidget(txtCursorATime, 0, 3);
    cursors->addWidget(caption(at("Cursor B"), pnlStatistic, kCursorB), 0, 4);
    cursors->addWidget(txtCursorB, 0, 5);
    cursors->addWidget(caption(at("@"), pnlStatistic, kCursorB), 0, 6);
    cursors->addWidget(txtCursorBTime, 0, 7);
    cursors->addWidget(caption(at("Max.Between A and B"), pnlStatistic), 1, 0);
    cursors->addWidget(txtMaxAB, 1, 1);
    cursors->addWidget(caption(at("@"), pnlStatistic), 1, 2);
    cursors->addWidget(txtMaxABTime, 1, 3);
    cursors->addWidget(caption(at("Avg Between A and B"), pnlStatistic), 1, 4);
    cursors->addWidget(txtAvgAB, 1, 5);
    cursors->addWidget(caption(at("Min.Between A and B"), pnlStatistic), 2, 0);
    cursors->addWidget(txtMinAB, 2, 1);
    cursors->addWidget(caption(at("@"), pnlStatistic), 2, 2);
    cursors->addWidget(txtMinABTime, 2, 3);
    cursors->setColumnStretch(8, 1);
    stat2->addLayout(cursors);
    stat2->addStretch();
    chartSplitter->setStretchFactor(0, 1);
    chartSplitter->setStretchFactor(1, 0);
    chartSplitter->setCollapsible(0, false);
    chartSplitter->setSizes({608 - 144, 144});

    m_mainSplitter->setStretchFactor(0, 0);
    m_mainSplitter->setStretchFactor(1, 1);
    m_mainSplitter->setSizes({356, 1089 - 356});
}

void TfrmGraph::buildDataList() {
    m_dataList = new DataListModel(*PESGraph1, m_model.seriesCount == 2, Grid3);
    Grid3->setList(m_dataList);
    for (int c = 0; c < m_dataList->columnCount(); ++c)
        Grid3->setColumnWidth(c, kDataListWidths[c]);
    fitDataListColumns();
}

void TfrmGraph::fitDataListColumns() {
    // A list of millions of rows is not measured row by row: each column
    // takes its heading and the widest text it can hold.
    const QLocale locale;
    const QStringList values{QStringLiteral("OL"), valueText(-8888.8, 1), valueText(-9999.9, 1)};
    const QList<QStringList> widest{widestNumbers(m_dataList->readings()),
                                    widestDates(locale, shortDateFormat()),
                                    widestTimes(locale, longTimeFormat()), values, values};
    for (int c = 0; c < m_dataList->columnCount(); ++c)
        fitColumn(*Grid3, c, kDataListWidths[c], widest[c]);
    fitRows(*Grid3, kDataListRowHeight);
}

void TfrmGraph::fitDataSetColumns() {
    // At most 15 rows: every text is measured.
    for (int c = 0; c < Grid2->columnCount(); ++c) {
        QStringList texts;
        for (int r = 0; r < Grid2->rowCount(); ++r)
            if (const QTableWidgetItem* item = Grid2->item(r, c)) texts << item->text();
        fitColumn(*Grid2, c, kDataSetWidths[c], texts);
    }
    fitRows(*Grid2, kDataSetRowHeight);
}

} // namespace tq
