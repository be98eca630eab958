#include "Chart.h"
#include "CommandGuard.h"
#include "DataListView.h"
#include "DataLoggerWindow.h"
#include "DataSetCollection.h"
#include "DragThrottle.h"
#include "GraphFile.h"
#include "GraphTestSupport.h"
#include "Regional.h"
#include "TfrmGraph.h"
#include "TimeZone.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <qcustomplot.h>

using namespace tq;

namespace {
template <class W = QWidget> W* child(const QWidget* w, const char* name) {
    W* found = w->findChild<W*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QString text(const QWidget* w, const char* name) {
    return child<QLineEdit>(w, name)->text();
}

QStringList headers(const QTableView* g) {
    QStringList h;
    for (int c = 0; c < g->model()->columnCount(); ++c)
        h << g->model()->headerData(c, Qt::Horizontal).toString();
    return h;
}

// The data list by reading, wherever it is scrolled.
QString cell(const DataListView* g, int row, int column) {
    return g->cellText(row, column);
}

int rows(const DataListView* g) {
    return g->readings();
}

TDateTime start() {
    TDateTime t = 0;
    encodeDateTime(2024, 3, 29, 7, 13, 15, t);
    return t;
}

// Fills series 0 with n points step seconds apart, value 20 + i / 10.
void fillSeries(Chart* c, int n, int step = 2) {
    for (int i = 0; i < n; ++i) {
        c->setX(0, i, start() + double(i) * step * kOneSecond);
        c->setY(0, i, 20.0f + float(i % 100) / 10);
    }
}

class GraphWindowTest : public GraphFixture {};
} // namespace

TEST_F(GraphWindowTest, LayoutNamesCaptionsAndInitialTexts) {
    TfrmGraph w(kModel860);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Graph"));
    EXPECT_EQ(w.size(), QSize(1089, 608));
    for (const char* name : {"pnlDataSets",    "StaticText1",     "Grid2",          "pnlDataList",
                             "StaticText2",    "Grid3",           "ToolBar1",       "ToolButton1",
                             "ToolButton2",    "ToolButton4",     "ToolButton5",    "ToolButton9",
                             "UndoZoom",       "Button1",         "chkSplit",       "pnlGraphStatistic",
                             "txtStartTime",   "txtSamplingRate", "txtDataNo",      "chkTextList",
                             "PESGraph1",      "pnlStatistic",    "txtT1Max",       "txtT1Min",
                             "txtT1Avg",       "txtCursorA",      "txtCursorATime", "txtCursorB",
                             "txtCursorBTime", "txtMaxAB",        "txtMaxABTime",   "txtAvgAB",
                             "txtMinAB",       "txtMinABTime"})
        child(&w, name);
    EXPECT_NE(qobject_cast<Chart*>(child(&w, "PESGraph1")), nullptr);
    EXPECT_EQ(child<QLabel>(&w, "StaticText1")->text(), QStringLiteral("Data Sets"));
    EXPECT_EQ(child<QLabel>(&w, "StaticText2")->text(), QStringLiteral("Data List"));
    EXPECT_EQ(child<QToolButton>(&w, "ToolButton1")->toolTip(), QStringLiteral("Toggle Statistic 1"));
    EXPECT_EQ(child<QToolButton>(&w, "ToolButton2")->toolTip(), QStringLiteral("Toggle Statistic 2"));
    EXPECT_EQ(child<QToolButton>(&w, "ToolButton4")->toolTip(), QStringLiteral("Normal Cursor"));
    EXPECT_EQ(child<QToolButton>(&w, "ToolButton5")->toolTip(), QStringLiteral("Draw A Cross On Graph"));
    EXPECT_EQ(child<QToolButton>(&w, "ToolButton9")->toolTip(), QStringLiteral("Text"));
    EXPECT_TRUE(child<QToolButton>(&w, "ToolButton4")->isChecked());
    EXPECT_FALSE(child<QToolButton>(&w, "ToolButton4")->icon().isNull());
    EXPECT_EQ(child<QPushButton>(&w, "UndoZoom")->text(), QStringLiteral("Undo Zoom"));
    EXPECT_FALSE(child<QPushButton>(&w, "UndoZoom")->isEnabled());
    EXPECT_EQ(child<QPushButton>(&w, "Button1")->text(), QStringLiteral("Graph Option"));
    EXPECT_EQ(child<QPushButton>(&w, "Button1")->toolTip(), QStringLiteral("Graph Customization"));
    EXPECT_EQ(child<QCheckBox>(&w, "chkSplit")->text(), QStringLiteral("Split"));
    EXPECT_TRUE(child<QCheckBox>(&w, "chkTextList")->isChecked());
    EXPECT_EQ(text(&w, "txtSamplingRate"), QStringLiteral("00:02"));
    EXPECT_EQ(text(&w, "txtDataNo"), QStringLiteral("0"));
    EXPECT_EQ(text(&w, "txtT1Avg"), QStringLiteral("***.* "));
    EXPECT_TRUE(child<QLineEdit>(&w, "txtT1Max")->isReadOnly());
    EXPECT_TRUE(child<QLineEdit>(&w, "txtCursorB")->isReadOnly());

    auto* grid2 = child<QTableWidget>(&w, "Grid2");
    EXPECT_EQ(headers(grid2), QStringList({"Set", "DATE", "TIME", "Rate", "Num.", "Type", "Unit"}));
    EXPECT_EQ(grid2->rowCount(), 1);
    EXPECT_EQ(grid2->columnWidth(3), 65);
    EXPECT_EQ(headers(child<QTableView>(&w, "Grid3")), QStringList({"No", "DATE", "TIME", "VALUE"}));

    // Hidden at creation.
    w.show();
    EXPECT_FALSE(child(&w, "pnlDataSets")->isVisible());
    EXPECT_TRUE(child(&w, "pnlGraphStatistic")->isVisible());
    child<QToolButton>(&w, "ToolButton1")->click();
    EXPECT_FALSE(child(&w, "pnlGraphStatistic")->isVisible());
    child<QToolButton>(&w, "ToolButton2")->click();
    EXPECT_FALSE(child(&w, "pnlStatistic")->isVisible());
    child<QToolButton>(&w, "ToolButton2")->click();
    EXPECT_TRUE(child(&w, "pnlStatistic")->isVisible());

    // A file window's "Text List" shows the data list without the set list.
    child<QCheckBox>(&w, "chkTextList")->click(); // off
    child<QCheckBox>(&w, "chkTextList")->click(); // on
    EXPECT_TRUE(child(&w, "pnlDataSets")->isVisible());
    EXPECT_TRUE(child(&w, "Grid3")->isVisible());
    EXPECT_FALSE(child(&w, "Grid2")->isVisible());
    EXPECT_FALSE(child(&w, "StaticText1")->isVisible());
}

TEST_F(GraphWindowTest, TemplateWrittenOnFirstUseAndUsedAfterwards) {
    const QString file = AppPaths::templateFile();
    ASSERT_FALSE(QFileInfo::exists(file));
    {
        TfrmGraph w(kModel860);
        w.prepareGraph(1, 500, start(), start() + 500 * kOneSecond);
        EXPECT_TRUE(QFileInfo::exists(file));
        Chart* c = w.chart();
        EXPECT_EQ(c->points(), 500);
        EXPECT_EQ(c->subsetLabel(0), QStringLiteral("Temperature"));
        EXPECT_EQ(c->plottingMethod(), Chart::PlottingMethod::Spline);
        EXPECT_EQ(c->xAxisLabel(), QStringLiteral("Time"));
        EXPECT_EQ(c->zooming(), Chart::Zooming::HorzPlusVert);
        EXPECT_FLOAT_EQ(c->y(0, 499), Chart::kNullY);
        EXPECT_DOUBLE_EQ(c->manualMinX(), start());
        EXPECT_NEAR(c->vertLine(1), start() + 500 * kOneSecond / 3, 1e-9);
        EXPECT_NEAR(c->vertLine(2), start() + 1000 * kOneSecond / 3, 1e-9);
        EXPECT_EQ(c->vertLineText(1), QStringLiteral("A"));
        EXPECT_EQ(c->vertLineColor(2), QColor(0, 255, 0));
        EXPECT_TRUE(child(&w, "ToolButton5")->isEnabled());
        // The template keeps the style, not the points.
        Chart stored;
        ASSERT_TRUE(LoadGraphFile(stored, file).ok());
        EXPECT_EQ(stored.points(), 0);
        EXPECT_EQ(stored.subsetLabel(0), QStringLiteral("Temperature"));
        EXPECT_EQ(stored.vertLineText(2), QStringLiteral("B"));

        // A changed template shapes every later graph.
        c->setMainTitle(QStringLiteral("From the template"));
        ASSERT_TRUE(SaveGraphFile(*c, file).ok());
    }
    {
        TfrmGraph w(kModel860);
        w.prepareGraph(1, 10, start(), start() + 10 * kOneSecond);
        EXPECT_EQ(w.chart()->mainTitle(), QStringLiteral("From the template"));
        EXPECT_EQ(w.chart()->points(), 10);
    }
    ASSERT_TRUE(QFile::remove(file));
    {
        TfrmGraph w(kModel860);
        // xMin 0 leaves the X range as it was.
        w.prepareGraph(1, 10, 0.0, 0.0);
        EXPECT_TRUE(QFileInfo::exists(file));
        EXPECT_TRUE(w.chart()->mainTitle().isEmpty());
    }
}

TEST_F(GraphWindowTest, TemplateOfTheOtherModelKeepsEachModelsSeries) {
    {
        TfrmGraph first(kModel860);
        first.prepareGraph(1, 10, start(), start() + 0.01);
        first.chart()->setMainTitle(QStringLiteral("House style"));
        ASSERT_TRUE(SaveGraphFile(*first.chart(), AppPaths::templateFile()).ok());
    }
    TfrmGraph humid(kModel862);
    humid.prepareGraph(2, 10, start(), start() + 0.01);
    Chart* c = humid.chart();
    EXPECT_EQ(c->mainTitle(), QStringLiteral("House style"));
    EXPECT_EQ(c->axisCount(), 2);
    EXPECT_EQ(c->subsetLabel(0), QStringLiteral("Humidity"));
    EXPECT_EQ(c->subsetLabel(1), QStringLiteral("Temperature"));
    c->setWorkingAxis(1);
    EXPECT_DOUBLE_EQ(c->manualMaxY(), 100.0);
    EXPECT_FALSE(child(&humid, "ToolButton5")->isEnabled());

    // And back: a two-axis template under a temperature logger.
    ASSERT_TRUE(SaveGraphFile(*c, AppPaths::templateFile()).ok());
    TfrmGraph temp(kModel860);
    temp.prepareGraph(1, 10, start(), start() + 0.01);
    EXPECT_EQ(temp.chart()->axisCount(), 1);
    EXPECT_EQ(temp.chart()->subsetLabel(0), QStringLiteral("Temperature"));
    EXPECT_FALSE(temp.chart()->manualY());
    EXPECT_EQ(temp.chart()->mainTitle(), QStringLiteral("House style"));
    EXPECT_TRUE(child(&temp, "ToolButton5")->isEnabled());
}

TEST_F(GraphWindowTest, TemplateProblemsStopThePreparation) {
    // The template folder cannot be made: a file stands in its way.
    QFile blocker(home.filePath(QStringLiteral("template")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TfrmGraph w(kModel860);
    try {
        w.prepareGraph(1, 20, start(), start() + 0.01);
        ADD_FAILURE() << "no error";
    } catch (const UserError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Cannot create ") +
                                QDir::toNativeSeparators(AppPaths::templateFolder()) +
                                QStringLiteral(" directory."));
    }
    // The chart itself was prepared before the error.
    EXPECT_EQ(w.chart()->points(), 20);

    // An unreadable template: its error, and the chart keeps its state.
    ASSERT_TRUE(QFile::remove(blocker.fileName()));
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("template")));
    QFile broken(AppPaths::templateFile());
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\xff\xff\xff\x00junk", 8);
    broken.close();
    EXPECT_THROW(w.prepareGraph(1, 40, start(), start() + 0.01), UserError);
    EXPECT_EQ(w.chart()->points(), 20);
}

TEST_F(GraphWindowTest, Model862HasTwoStackedAxesAndHumidityColumns) {
    TfrmGraph w(kModel862);
    auto* grid3 = child<DataListView>(&w, "Grid3");
    EXPECT_EQ(headers(grid3), QStringList({"No", "DATE", "TIME", "HUMIDITY", "Temp"}));
    EXPECT_EQ(grid3->columnWidth(4), 60);
    w.prepareGraph(2, 3, start(), start() + 3 * 60 * kOneSecond);
    Chart* c = w.chart();
    EXPECT_EQ(c->subsets(), 2);
    EXPECT_EQ(c->axisCount(), 2);
    EXPECT_EQ(c->subsetLabel(0), QStringLiteral("Humidity"));
    EXPECT_EQ(c->subsetLabel(1), QStringLiteral("Temperature"));
    for (int axis = 0; axis < 2; ++axis) {
        c->setWorkingAxis(axis);
        EXPECT_TRUE(c->manualY());
        EXPECT_DOUBLE_EQ(c->manualMinY(), -30.0);
        EXPECT_DOUBLE_EQ(c->manualMaxY(), 100.0);
    }
    // Cross and text need a single axis.
    EXPECT_FALSE(child(&w, "ToolButton5")->isEnabled());
    EXPECT_FALSE(child(&w, "ToolButton9")->isEnabled());

    // Series 1, never recorded, holds the null value: "OL" as in every other view.
    for (int i = 0; i < 3; ++i) {
        c->setX(0, i, start() + i * 60 * kOneSecond);
        c->setY(0, i, i == 1 ? 9999.0f : 45.0f);
    }
    w.fillDataList();
    ASSERT_EQ(rows(grid3), 3);
    EXPECT_EQ(cell(grid3, 1, 3), QStringLiteral("OL"));
    EXPECT_EQ(cell(grid3, 1, 4), QStringLiteral("OL"));
    EXPECT_EQ(cell(grid3, 0, 3), QStringLiteral("45.0"));

    // "Split" off puts everything on one axis and frees the tools.
    auto* split = child<QCheckBox>(&w, "chkSplit");
    split->click();
    EXPECT_EQ(c->axisCount(), 2);
    split->click();
    EXPECT_EQ(c->axisCount(), 1);
    EXPECT_DOUBLE_EQ(c->multiAxesProportion(0), 1.0);
    EXPECT_TRUE(child(&w, "ToolButton5")->isEnabled());
}

TEST_F(GraphWindowTest, StatisticsAndDataListFromTheChart) {
    TfrmGraph w(kModel860);
    w.prepareGraph(1, 500, start(), start() + 1000 * kOneSecond);
    Chart* c = w.chart();
    fillSeries(c, 500);
    c->setY(0, 7, 9999.0f);
    w.refreshStatistics();
    EXPECT_EQ(text(&w, "txtStartTime"), dateTimeText(start()));
    EXPECT_EQ(text(&w, "txtSamplingRate"), QStringLiteral("00:02"));
    EXPECT_EQ(text(&w, "txtDataNo"), QStringLiteral("500"));
    EXPECT_EQ(text(&w, "txtT1Max"), QStringLiteral("OL"));
    EXPECT_EQ(text(&w, "txtT1Min"), QStringLiteral("20.0@") + dateTimeText(start()));
    // 499 in-range values: five runs of 20.0 ... 29.9, less the 20.7 at point 7.
    EXPECT_EQ(text(&w, "txtT1Avg"), valueText((5 * 2495.0 - 20.7) / 499, 3));

    // The last two points fall on the next days.
    c->setX(0, 498, start() + 1);
    c->setX(0, 499, start() + 2 + 0.5);
    w.fillDataList();
    auto* grid3 = child<DataListView>(&w, "Grid3");
    ASSERT_EQ(rows(grid3), 500);
    EXPECT_EQ(cell(grid3, 497, 1), QStringLiteral("3/29/24"));
    EXPECT_EQ(cell(grid3, 498, 1), QStringLiteral("3/30/24"));
    EXPECT_EQ(cell(grid3, 499, 1), QStringLiteral("3/31/24"));
    EXPECT_EQ(cell(grid3, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(cell(grid3, 0, 1), QStringLiteral("3/29/24"));
    EXPECT_EQ(cell(grid3, 0, 2), QStringLiteral("7:13:15 AM"));
    EXPECT_EQ(cell(grid3, 497, 2), QStringLiteral("7:29:49 AM"));
    EXPECT_EQ(cell(grid3, 499, 2), QStringLiteral("7:13:15 PM"));
    EXPECT_EQ(cell(grid3, 7, 3), QStringLiteral("OL"));
    EXPECT_EQ(cell(grid3, 8, 3), QStringLiteral("20.8"));

    // Fewer points later: the list shrinks with the chart.
    w.prepareGraph(1, 0, start(), start());
    w.refreshStatistics();
    w.fillDataList();
    EXPECT_EQ(rows(grid3), 0);
    EXPECT_EQ(text(&w, "txtDataNo"), QStringLiteral("0"));
    EXPECT_EQ(text(&w, "txtT1Avg"), QStringLiteral("****"));
}

TEST_F(GraphWindowTest, SelectPointPlacesMarkerAndCursors) {
    TfrmGraph w(kModel860);
    w.prepareGraph(1, 500, start(), start() + 1000 * kOneSecond);
    Chart* c = w.chart();
    fillSeries(c, 500);
    w.selectPoint(10);
    EXPECT_EQ(w.cursorAIndex(), 166);
    EXPECT_EQ(w.cursorBIndex(), 333);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 10));
    EXPECT_EQ(c->vertLineText(0), timeText(c->x(0, 10)) + QStringLiteral(" 21.0"));
    EXPECT_EQ(c->vertLineColor(0), QColor(0, 0, 0));
    EXPECT_DOUBLE_EQ(c->vertLine(1), c->x(0, 166));
    EXPECT_DOUBLE_EQ(c->vertLine(2), c->x(0, 333));
    EXPECT_EQ(text(&w, "txtCursorA"), QStringLiteral("26.6"));
    EXPECT_EQ(text(&w, "txtCursorATime"), dateTimeText(c->x(0, 166)));
    EXPECT_EQ(text(&w, "txtCursorB"), QStringLiteral("23.3"));
    EXPECT_EQ(text(&w, "txtMaxAB"), QStringLiteral("29.9"));
    EXPECT_EQ(text(&w, "txtMaxABTime"), dateTimeText(c->x(0, 199)));
    EXPECT_EQ(text(&w, "txtMinAB"), QStringLiteral("20.0"));
    EXPECT_EQ(text(&w, "txtMinABTime"), dateTimeText(c->x(0, 200)));

    // A click on the data list selects that row's point.
    w.fillDataList();
    auto* grid3 = child<DataListView>(&w, "Grid3");
    emit grid3->readingClicked(41);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 41));

    // A click on a data point selects its row and point, and scrolls the
    // list to it.
    w.resize(1089, 608);
    w.show();
    child<QCheckBox>(&w, "chkTextList")->click();
    child<QCheckBox>(&w, "chkTextList")->click();
    ASSERT_TRUE(grid3->isVisible());
    QCoreApplication::processEvents();
    emit c->dataHotSpot(false, 0, 450);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 450));
    EXPECT_EQ(grid3->selectionFirst(), 450);
    EXPECT_EQ(grid3->selectionLast(), 450);
    const QItemSelection sel = grid3->selectionModel()->selection();
    ASSERT_EQ(sel.size(), 1);
    EXPECT_EQ(grid3->firstShown() + sel[0].top(), 450);
    EXPECT_EQ(sel[0].width(), 4);
    EXPECT_GT(grid3->readingAt(QPoint(5, grid3->viewport()->height() / 2)), 400);

    // A chart that shrank since the cursors were set is never read past.
    w.prepareGraph(1, 50, start(), start() + 100 * kOneSecond);
    fillSeries(c, 50);
    w.refreshCursorStatistics();
    EXPECT_EQ(text(&w, "txtCursorA"), QStringLiteral("24.9"));

    // Out-of-range marks between the cursors read "OL" and stay out of the
    // average; with nothing but marks there is no average.
    c->setY(0, 20, -9999.0f);
    c->setY(0, 16, 9999.0f);
    w.selectPoint(0); // cursors at 16 and 33
    EXPECT_EQ(text(&w, "txtCursorA"), QStringLiteral("OL"));
    EXPECT_EQ(text(&w, "txtMaxAB"), QStringLiteral("OL"));
    EXPECT_EQ(text(&w, "txtMinAB"), QStringLiteral("OL"));
    EXPECT_EQ(text(&w, "txtMinABTime"), dateTimeText(c->x(0, 20)));
    double sum = 0;
    for (int i = 16; i <= 33; ++i)
        if (i != 16 && i != 20) sum += 20.0 + double(i % 100) / 10;
    EXPECT_EQ(text(&w, "txtAvgAB"), valueText(sum / 16, 1));
    for (int i = 0; i < 50; ++i)
        c->setY(0, i, 9999.0f);
    w.refreshCursorStatistics();
    EXPECT_EQ(text(&w, "txtAvgAB"), QStringLiteral("****"));
}

TEST_F(GraphWindowTest, ToolModesAndAnnotationsAcrossWindows) {
    TfrmGraph first(kModel860);
    TfrmGraph second(kModel860);
    for (TfrmGraph* w : {&first, &second}) {
        w->prepareGraph(1, 100, start(), start() + 200 * kOneSecond);
        fillSeries(w->chart(), 100);
        w->show();
    }
    Chart* c1 = first.chart();
    Chart* c2 = second.chart();
    const QPoint inside = c1->plotRect().center() - QPoint(15, 15);

    // Normal mode: a click places nothing.
    QTest::mouseClick(c1->plot(), Qt::LeftButton, {}, c1->plot()->mapFrom(c1, inside));
    EXPECT_EQ(graphInteraction().annotationCounter, 3);

    child<QToolButton>(&first, "ToolButton5")->click();
    EXPECT_EQ(graphInteraction().toolMode, ToolMode::Cross);
    QTest::mouseClick(c1->plot(), Qt::LeftButton, {}, c1->plot()->mapFrom(c1, inside));
    EXPECT_EQ(graphInteraction().annotationCounter, 4);
    EXPECT_EQ(c1->graphAnnotationType(4), int(Chart::AnnotCross));
    // The cross lands 15 pixels right of and below the pointer.
    const QPointF expected = c1->pixelToValue(inside + QPoint(15, 15));
    EXPECT_NEAR(c1->graphAnnotationX(4), expected.x(), 1e-9);
    EXPECT_NEAR(c1->graphAnnotationY(4), expected.y(), 1e-6);

    // The mode is shared: the text tool chosen in one window works in both.
    child<QToolButton>(&second, "ToolButton9")->click();
    int asked = 0;
    setDialogRunner([&asked](QDialog& d) {
        ++asked;
        auto* edit = d.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        EXPECT_NE(edit, nullptr);
        edit->setText(QStringLiteral("door open"));
        return asked == 1 ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    const QPoint textAt = c2->plotRect().center();
    const double textX = c2->pixelToValue(textAt + QPoint(1, 7)).x();
    QTest::mouseClick(c2->plot(), Qt::LeftButton, {}, c2->plot()->mapFrom(c2, textAt));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(graphInteraction().annotationCounter, 5);
    EXPECT_EQ(c2->graphAnnotationType(5), int(Chart::AnnotText));
    EXPECT_EQ(c2->graphAnnotationText(5), QStringLiteral("door open"));
    EXPECT_NEAR(c2->graphAnnotationX(5), textX, 1e-9);
    // Cancel places nothing.
    QTest::mouseClick(c2->plot(), Qt::LeftButton, {}, c2->plot()->mapFrom(c2, textAt + QPoint(30, 0)));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(graphInteraction().annotationCounter, 5);
    // Outside the plotting rectangle nothing happens.
    QTest::mouseClick(c2->plot(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(asked, 2);

    // Hint, and deletion by double click only.
    emit c2->graphHotSpot();
    EXPECT_EQ(c2->toolTip(), QStringLiteral("Double click to delete."));
    emit c2->graphAnnotHotSpot(false, 5);
    EXPECT_EQ(c2->graphAnnotationText(5), QStringLiteral("door open"));
    emit c2->graphAnnotHotSpot(true, 5);
    EXPECT_EQ(c2->graphAnnotationType(5), int(Chart::AnnotText));
    EXPECT_TRUE(c2->graphAnnotationText(5).isEmpty());

    // Showing a window, or "Split", resets the tool mode.
    child<QToolButton>(&first, "ToolButton5")->click();
    child<QCheckBox>(&first, "chkSplit")->click();
    EXPECT_EQ(graphInteraction().toolMode, ToolMode::Normal);
    EXPECT_TRUE(child<QToolButton>(&first, "ToolButton4")->isChecked());
    EXPECT_EQ(c1->arrowCursor(), int(Chart::ArrowNormal));
}

TEST_F(GraphWindowTest, DraggingACursorThrottlesAndSnaps) {
    TfrmGraph w(kModel860);
    w.resize(1089, 608);
    w.show();
    w.prepareGraph(1, 100, start(), start() + 200 * kOneSecond);
    Chart* c = w.chart();
    fillSeries(c, 100);
    w.selectPoint(0);
    QWidget* plot = c->plot();
    auto at = [&](int point, int dx = 0) {
        return plot->mapFrom(c, c->valueToPixel(c->x(0, point), 25.0) + QPoint(dx, 0));
    };
    ASSERT_EQ(w.cursorAIndex(), 33);

    QTest::mousePress(plot, Qt::LeftButton, {}, at(33));
    EXPECT_EQ(c->vertLineColor(1), QColor(190, 190, 190));
    // After the throttle interval a move takes the line along, not yet onto
    // a point (the throttle itself is tested with explicit times).
    QTest::qWait(DragThrottle::kIntervalMs + 60);
    const QPoint between = at(70, 3);
    QTest::mouseMove(plot, between);
    EXPECT_NEAR(c->vertLine(1), c->pixelToValue(plot->mapTo(c, between)).x(), 1e-9);
    EXPECT_NE(c->vertLine(1), c->x(0, 70));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, between);
    EXPECT_EQ(w.cursorAIndex(), 70);
    EXPECT_DOUBLE_EQ(c->vertLine(1), c->x(0, 70));
    EXPECT_EQ(c->vertLineColor(1), QColor(0, 0, 255));
    EXPECT_EQ(text(&w, "txtCursorA"), valueText(c->y(0, 70), 1));
    // Cursor B (66) now lies left of A: statistics run from 66 to 70.
    EXPECT_EQ(text(&w, "txtMinAB"), QStringLiteral("26.6"));
    EXPECT_EQ(text(&w, "txtMaxAB"), QStringLiteral("27.0"));

    // Releasing B outside the plotting rectangle puts it onto A.
    QTest::mousePress(plot, Qt::LeftButton, {}, at(66));
    EXPECT_EQ(c->vertLineColor(2), QColor(190, 190, 190));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(w.cursorBIndex(), 70);
    EXPECT_EQ(c->vertLineColor(2), QColor(0, 255, 0));

    // A chart whose points all share one time: the drag just ends.
    for (int i = 0; i < 100; ++i)
        c->setX(0, i, start());
    emit c->vertLineAnnotHotSpot(false, 1);
    emit c->mouseReleased();
    EXPECT_EQ(w.cursorAIndex(), 70);
    EXPECT_EQ(c->vertLineColor(1), QColor(0, 0, 255));
}

TEST_F(GraphWindowTest, ZoomUndoAndGraphOption) {
    TfrmGraph w(kModel860);
    w.prepareGraph(1, 100, start(), start() + 200 * kOneSecond);
    Chart* c = w.chart();
    auto* undo = child<QPushButton>(&w, "UndoZoom");
    emit c->zoomIn();
    EXPECT_TRUE(undo->isEnabled());
    undo->click();
    EXPECT_FALSE(undo->isEnabled());

    // Accepted customisation becomes the template; the X range stays.
    Chart::setDialogHandler([](QDialog&) { return true; });
    c->setMainTitle(QStringLiteral("Customised"));
    child<QPushButton>(&w, "Button1")->click();
    Chart::setDialogHandler({});
    EXPECT_DOUBLE_EQ(c->manualMinX(), start());
    EXPECT_NEAR(c->manualMaxX(), start() + 200 * kOneSecond, 1e-9);
    Chart fromTemplate;
    ASSERT_TRUE(LoadGraphFile(fromTemplate, AppPaths::templateFile()).ok());
    EXPECT_EQ(fromTemplate.mainTitle(), QStringLiteral("Customised"));

    // A cancelled dialog writes nothing.
    Chart::setDialogHandler([](QDialog&) { return false; });
    c->setMainTitle(QStringLiteral("Not kept"));
    child<QPushButton>(&w, "Button1")->click();
    Chart::setDialogHandler({});
    ASSERT_TRUE(LoadGraphFile(fromTemplate, AppPaths::templateFile()).ok());
    EXPECT_EQ(fromTemplate.mainTitle(), QStringLiteral("Customised"));

    // The template folder is gone and cannot be made: an error box.
    ASSERT_TRUE(QDir(AppPaths::templateFolder()).removeRecursively());
    QFile blocker(home.filePath(QStringLiteral("template")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    emit c->customizeDlg(true);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Cannot create ")));
}

TEST_F(GraphWindowTest, ClosingClearsTheDownloadFlagAndTheRegistration) {
    DataSetCollection& collection = dataSetCollection();
    auto* logger = new TfrmGraph(kModel860);
    logger->setAttribute(Qt::WA_DeleteOnClose);
    logger->becomeDataLoggerWindow();
    EXPECT_EQ(TfrmGraph::dataLoggerWindow(), logger);
    EXPECT_TRUE(logger->isDataLogger());

    // Another graph window closing leaves the download unsaved.
    collection.setDownloadUnsaved(true);
    {
        TfrmGraph other(kModel860);
        other.show();
        other.close();
    }
    EXPECT_TRUE(collection.downloadUnsaved());

    // The DataLogger window asks first when a download is unsaved.
    int asked = 0;
    bool allow = false;
    TfrmGraph::setDataLoggerCloseQuery([&](TfrmGraph& w) {
        ++asked;
        EXPECT_EQ(&w, logger);
        return allow;
    });
    collection.setDownloadUnsaved(true);
    logger->show();
    EXPECT_FALSE(logger->close());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(TfrmGraph::dataLoggerWindow(), logger);
    EXPECT_TRUE(collection.downloadUnsaved());
    allow = true;
    EXPECT_TRUE(logger->close());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(TfrmGraph::dataLoggerWindow(), nullptr);
    EXPECT_FALSE(collection.downloadUnsaved());
    TfrmGraph::setDataLoggerCloseQuery({});
}

namespace {
// Two data sets: 500 samples 2 s apart (one out of range), none, and 3 in °F.
void fillCollection() {
    std::vector<DataSet> sets(3);
    std::vector<float> values;
    std::vector<double> times;
    sets[0].startTime = start();
    sets[0].intervalSeconds = 2;
    sets[0].sampleCount = 500;
    for (int j = 0; j < 500; ++j) {
        values.push_back(j == 3 ? 9999.0f : 21.5f);
        times.push_back(start() + j * 2 * kOneSecond);
    }
    sets[1].startTime = start() + 1;
    sets[1].intervalSeconds = 3600;
    sets[2].startTime = start() + 2;
    sets[2].intervalSeconds = 65535;
    sets[2].sampleCount = 3;
    sets[2].flags = 0x01;
    for (int j = 0; j < 3; ++j) {
        values.push_back(70.0f + j);
        times.push_back(start() + 2 + j * 65535 * kOneSecond);
    }
    ASSERT_TRUE(dataSetCollection().replaceContents(sets, values, times));
}
} // namespace

TEST_F(GraphWindowTest, DataLoggerWindowListsAndShowsDataSets) {
    QMdiArea area;
    area.resize(1400, 900);
    area.show();
    const double before = nowDays();
    TfrmGraph* w = createDataLoggerWindow(&area, kModel860, false);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(TfrmGraph::dataLoggerWindow(), w);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("DataLogger"));
    EXPECT_EQ(area.subWindowList().size(), 1);
    QMdiSubWindow* sub = area.subWindowList().first();
    EXPECT_TRUE(sub->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(sub->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(sub->height(), area.viewport()->height() - 50);
    for (const char* name : {"pnlDataSets", "StaticText1", "pnlDataList", "Grid2", "Grid3"})
        EXPECT_TRUE(child(w, name)->isVisible()) << name;
    Chart* c = w->chart();
    EXPECT_EQ(c->points(), 500);
    EXPECT_GE(c->manualMinX(), before - kOneSecond);
    EXPECT_NEAR(c->manualMaxX() - c->manualMinX(), 500 * kOneSecond, 1e-9);
    EXPECT_TRUE(c->allowGraphAnnotHotSpots());
    EXPECT_TRUE(child(w, "ToolButton5")->isEnabled());

    // Nothing listed yet: a click does nothing.
    auto* grid2 = child<QTableWidget>(w, "Grid2");
    emit grid2->cellClicked(0, 1);
    EXPECT_EQ(c->points(), 500);

    fillCollection();
    w->fillDataSetList();
    ASSERT_EQ(grid2->rowCount(), 3);
    auto row = [grid2](int r) {
        QStringList cells;
        for (int col = 0; col < 7; ++col)
            cells << grid2->item(r, col)->text();
        return cells;
    };
    EXPECT_EQ(row(0), QStringList({"1", "3/29/24", "07:13:15", "00:02", "500", "", "C"}));
    EXPECT_EQ(row(1), QStringList({"2", "3/30/24", "07:13:15", "60:00", "0", "", "C"}));
    EXPECT_EQ(row(2), QStringList({"3", "3/31/24", "07:13:15", "1092:15", "3", "", "F"}));
    ASSERT_EQ(grid2->selectedRanges().size(), 1);
    EXPECT_EQ(grid2->selectedRanges()[0].topRow(), 0);

    emit grid2->cellClicked(0, 2);
    EXPECT_EQ(c->points(), 500);
    EXPECT_DOUBLE_EQ(c->x(0, 499), start() + 998 * kOneSecond);
    EXPECT_EQ(text(w, "txtStartTime"), dateTimeText(start()));
    EXPECT_EQ(text(w, "txtSamplingRate"), QStringLiteral("00:02"));
    EXPECT_EQ(text(w, "txtDataNo"), QStringLiteral("500"));
    EXPECT_EQ(text(w, "txtT1Max"), QStringLiteral("OL"));
    EXPECT_EQ(text(w, "txtT1Avg"), QStringLiteral("21.500"));
    EXPECT_EQ(rows(child<DataListView>(w, "Grid3")), 500);
    EXPECT_EQ(w->cursorAIndex(), 166);
    EXPECT_EQ(w->cursorBIndex(), 333);

    // The empty data set shows without a fault.
    emit grid2->cellClicked(1, 0);
    EXPECT_EQ(c->points(), 0);
    EXPECT_EQ(text(w, "txtDataNo"), QStringLiteral("0"));
    EXPECT_EQ(text(w, "txtSamplingRate"), QStringLiteral("60:00"));
    EXPECT_EQ(rows(child<DataListView>(w, "Grid3")), 0);

    // The third data set's rate box keeps two minute digits.
    w->showDataSet(2);
    EXPECT_EQ(c->points(), 3);
    EXPECT_FLOAT_EQ(c->y(0, 2), 72.0f);
    EXPECT_EQ(text(w, "txtSamplingRate"), QStringLiteral("92:15"));
    w->showDataSet(3); // no such data set
    EXPECT_EQ(c->points(), 3);

    // Keys move the current row and show its data set, as a click does.
    w->showDataSetWithList(0, true);
    EXPECT_EQ(grid2->currentRow(), 0);
    grid2->setFocus();
    QTest::keyClick(grid2, Qt::Key_Down);
    EXPECT_EQ(w->shownDataSet(), 1);
    QTest::keyClick(grid2, Qt::Key_End);
    EXPECT_EQ(w->shownDataSet(), 2);
    EXPECT_EQ(c->points(), 3);
    QTest::keyClick(grid2, Qt::Key_Up);
    EXPECT_EQ(w->shownDataSet(), 1);
    EXPECT_EQ(c->points(), 0);
    QTest::keyClick(grid2, Qt::Key_Home);
    EXPECT_EQ(w->shownDataSet(), 0);
    EXPECT_EQ(c->points(), 500);
    EXPECT_EQ(text(w, "txtDataNo"), QStringLiteral("500"));
    EXPECT_FALSE(grid2->tabKeyNavigation());

    // Closing the sub window frees the window and its registration.
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(TfrmGraph::dataLoggerWindow(), nullptr);
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(GraphWindowTest, DataLoggerWindowForACollectionFileTakesTheFullWidth) {
    QMdiArea area;
    area.resize(1500, 800);
    area.show();
    TfrmGraph* w = createDataLoggerWindow(&area, kModel862, true);
    QMdiSubWindow* sub = area.subWindowList().first();
    EXPECT_EQ(sub->width(), area.viewport()->width());
    // Two stacked axes: no cross or text tool.
    EXPECT_EQ(w->chart()->subsets(), 2);
    EXPECT_FALSE(child(w, "ToolButton5")->isEnabled());
    EXPECT_FALSE(child(w, "ToolButton9")->isEnabled());
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(GraphWindowTest, ListsShowLoggerTimesInADaylightSavingGap) {
    // The logger's clock knows no zones: a run started at 02:30 on the night
    // the clocks go forward keeps that time in both lists.
    const tq::test::InZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    TDateTime gapStart = 0;
    ASSERT_TRUE(encodeDateTime(2024, 3, 31, 2, 30, 0, gapStart));
    std::vector<DataSet> sets(1);
    sets[0].startTime = gapStart;
    sets[0].intervalSeconds = 600;
    sets[0].sampleCount = 4;
    std::vector<float> values{5.0f, 5.1f, 5.2f, 5.3f};
    std::vector<double> times;
    for (int j = 0; j < 4; ++j)
        times.push_back(gapStart + j * 600 * kOneSecond);
    ASSERT_TRUE(dataSetCollection().replaceContents(sets, values, times));

    QMdiArea area;
    area.resize(1400, 900);
    area.show();
    TfrmGraph* w = createDataLoggerWindow(&area, kModel860, false);
    w->fillDataSetList();
    auto* grid2 = child<QTableWidget>(w, "Grid2");
    EXPECT_EQ(grid2->item(0, 1)->text(), QStringLiteral("3/31/24"));
    EXPECT_EQ(grid2->item(0, 2)->text(), QStringLiteral("02:30:00"));

    w->showDataSet(0);
    w->fillDataList();
    auto* grid3 = child<DataListView>(w, "Grid3");
    ASSERT_EQ(rows(grid3), 4);
    const QStringList expectedTimes{timeText(gapStart), timeText(gapStart + 600 * kOneSecond),
                                    timeText(gapStart + 1200 * kOneSecond),
                                    timeText(gapStart + 1800 * kOneSecond)};
    EXPECT_EQ(expectedTimes[0], QStringLiteral("2:30:00 AM"));
    EXPECT_EQ(expectedTimes[3], QStringLiteral("3:00:00 AM"));
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(cell(grid3, r, 1), QStringLiteral("3/31/24")) << r;
        EXPECT_EQ(cell(grid3, r, 2), expectedTimes[r]) << r;
    }
    area.closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(GraphWindowTest, ReleaseOutsideKeepsTheCursorOnAPointOfAShorterChart) {
    TfrmGraph w(kModel860);
    w.resize(1089, 608);
    w.show();
    Chart* c = w.chart();
    w.prepareGraph(1, 100, start(), start() + 200 * kOneSecond);
    fillSeries(c, 100);
    w.selectPoint(0);
    ASSERT_EQ(w.cursorAIndex(), 33);

    // The chart is prepared again with 10 points and no new selection.
    w.prepareGraph(1, 10, start(), start() + 20 * kOneSecond);
    fillSeries(c, 10);
    c->redraw();
    QWidget* plot = c->plot();
    const QPoint lineB = plot->mapFrom(c, c->valueToPixel(c->vertLine(2), c->y(0, 5)));
    QTest::mousePress(plot, Qt::LeftButton, {}, lineB);
    ASSERT_EQ(c->vertLineColor(2), QColor(190, 190, 190));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, QPoint(1, 1));
    // Cursor B goes to cursor A's point, which this chart must have.
    EXPECT_EQ(w.cursorBIndex(), 9);
    EXPECT_DOUBLE_EQ(c->vertLine(2), c->x(0, 9));
    EXPECT_EQ(text(&w, "txtCursorB"), valueText(c->y(0, 9), 1));
}
