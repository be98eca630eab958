// The data list and the chart of a graph window working together: the
// marker follows the list's current row, cursor and selection changes
// repaint only the cursor layer, out-of-range marks are not drawn, and the
// lists are wide enough for their texts.

#include "Chart.h"
#include "DataLoggerWindow.h"
#include "DataSetCollection.h"
#include "GraphTestSupport.h"
#include "Regional.h"
#include "TfrmGraph.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <qcustomplot.h>

using namespace tq;

namespace {
TDateTime start() {
    TDateTime t = 0;
    encodeDateTime(2024, 3, 29, 7, 13, 15, t);
    return t;
}

// A file window of n points 2 s apart, shown with its data list.
void showFilled(TfrmGraph& w, int n) {
    w.resize(1089, 608);
    w.show();
    w.prepareGraph(1, n, start(), start() + n * 2 * kOneSecond);
    for (int i = 0; i < n; ++i) {
        w.chart()->setX(0, i, start() + i * 2 * kOneSecond);
        w.chart()->setY(0, i, 20.0f + float(i % 100) / 10);
    }
    w.chart()->redraw();
    w.findChild<QCheckBox*>(QStringLiteral("chkTextList"))->click();
    w.findChild<QCheckBox*>(QStringLiteral("chkTextList"))->click();
    w.fillDataList();
    w.selectPoint(0);
    QCoreApplication::processEvents();
}

QTableView* dataList(const TfrmGraph& w) {
    return w.findChild<QTableView*>(QStringLiteral("Grid3"));
}

// What the view's own delegate asks for the rows on screen (public in the
// base class only).
int contentWidth(const QAbstractItemView* view, int column) {
    return view->sizeHintForColumn(column);
}
int contentHeight(const QAbstractItemView* view, int row) {
    return view->sizeHintForRow(row);
}

int currentRow(const QTableView* list) {
    return list->currentIndex().row();
}

// Sets the default locale for one test and puts the previous one back.
class LocaleScope {
  public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(m_previous); }

  private:
    QLocale m_previous;
};

class GraphListTest : public GraphFixture {};
} // namespace

TEST_F(GraphListTest, TheMarkerFollowsTheKeyboardInTheDataList) {
    TfrmGraph w(860);
    showFilled(w, 500);
    Chart* c = w.chart();
    QTableView* list = dataList(w);
    ASSERT_TRUE(list->isVisible());
    list->setFocus();
    ASSERT_DOUBLE_EQ(c->vertLine(0), c->x(0, 0));

    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(currentRow(list), 1);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 1));
    EXPECT_EQ(c->vertLineText(0), timeText(c->x(0, 1)) + QStringLiteral(" 20.1"));
    QTest::keyClick(list, Qt::Key_PageDown);
    const int paged = currentRow(list);
    ASSERT_GT(paged, 5);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, paged));
    QTest::keyClick(list, Qt::Key_End);
    ASSERT_EQ(currentRow(list), 499);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 499));
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 498));
    QTest::keyClick(list, Qt::Key_Home);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 0));
    // As a click does, every move puts the cursors back to 1/3 and 2/3.
    EXPECT_EQ(w.cursorAIndex(), 166);
    EXPECT_EQ(w.cursorBIndex(), 333);

    // A click on a row marks its point.
    const QModelIndex row7 = list->model()->index(7, 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row7).center());
    EXPECT_EQ(currentRow(list), 7);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 7));

    // A point clicked on the chart selects its row, which stays in view;
    // the keyboard goes on from there.
    emit c->dataHotSpot(false, 0, 300);
    EXPECT_EQ(currentRow(list), 300);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(list->model()->index(300, 0)).center()));
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 301));
}

TEST_F(GraphListTest, CursorsAndSelectionRepaintOnlyTheCursorLayer) {
    TfrmGraph w(860);
    showFilled(w, 3000);
    Chart* c = w.chart();
    QWidget* plot = c->plot();
    QSignalSpy replots(c->plot(), &QCustomPlot::beforeReplot);
    auto* graph = qobject_cast<QCPGraph*>(c->plot()->plottable(0));
    ASSERT_NE(graph, nullptr);
    const auto data = graph->data();

    // Drag cursor A a little way to the right and release it.
    ASSERT_EQ(w.cursorAIndex(), 1000);
    const int y = c->plotRect().center().y();
    const QPoint lineA(c->valueToPixel(c->vertLine(1), 0).x(), y);
    QTest::mousePress(plot, Qt::LeftButton, {}, plot->mapFrom(c, lineA));
    EXPECT_EQ(c->vertLineColor(1), QColor(190, 190, 190));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, plot->mapFrom(c, lineA + QPoint(60, 0)));
    EXPECT_GT(w.cursorAIndex(), 1000);
    EXPECT_DOUBLE_EQ(c->vertLine(1), c->x(0, w.cursorAIndex()));
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("txtCursorA"))->text(),
              valueText(c->y(0, w.cursorAIndex()), 1));
    // The released line shows where it was dropped, blue again.
    QCoreApplication::processEvents();
    const QImage shot = c->grab().toImage();
    const int dropped = c->valueToPixel(c->vertLine(1), 0).x();
    EXPECT_TRUE(shot.pixelColor(dropped, y + 30) == QColor(0, 0, 255) ||
                shot.pixelColor(dropped - 1, y + 30) == QColor(0, 0, 255));

    // Selecting, from the list or from the chart, and the statistics.
    w.selectPoint(42);
    emit c->dataHotSpot(false, 0, 2500);
    w.refreshCursorStatistics();
    w.refreshStatistics();
    QCoreApplication::processEvents();
    EXPECT_EQ(replots.count(), 0) << "the data layer was drawn again";
    EXPECT_EQ(graph->data(), data) << "the data was handed to the plot again";
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 2500));

    // New data is a full redraw.
    c->setY(0, 5, 30.0f);
    c->redraw();
    EXPECT_EQ(replots.count(), 1);
}

TEST_F(GraphListTest, OutOfRangeMarksAreNotDrawnNorStretchTheAxis) {
    TfrmGraph w(860);
    showFilled(w, 1000);
    Chart* c = w.chart();
    c->setY(0, 400, -9999.0f); // a reading below -200
    c->setY(0, 600, 9999.0f);  // above 1370, also the null value
    c->redraw();
    w.refreshStatistics();
    const QCPRange values = c->plot()->axisRect(0)->axis(QCPAxis::atLeft)->range();
    EXPECT_GT(values.lower, 15.0);
    EXPECT_LT(values.upper, 35.0);
    auto* graph = qobject_cast<QCPGraph*>(c->plot()->plottable(0));
    ASSERT_NE(graph, nullptr);
    int drawn = 0;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        drawn += std::isfinite(it->value) ? 1 : 0;
    EXPECT_EQ(drawn, 998);
    // Stored as they were, and "OL" where the window shows them.
    EXPECT_FLOAT_EQ(c->y(0, 400), -9999.0f);
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("txtT1Min"))->text(), QStringLiteral("OL"));
    w.fillDataList();
    EXPECT_EQ(dataList(w)->model()->index(400, 3).data().toString(), QStringLiteral("OL"));
}

TEST_F(GraphListTest, ListsFitTheirTextsInEveryLocale) {
    // Two days of 2-second samples from the evening of 28 December: five-
    // digit sample numbers, the widest dates and times, an out-of-range mark.
    const int count = 86400;
    std::vector<DataSet> sets(1);
    std::vector<float> values(count, -18.5f);
    std::vector<double> times(count);
    TDateTime first = 0;
    ASSERT_TRUE(encodeDateTime(2024, 12, 28, 22, 0, 0, first));
    for (int j = 0; j < count; ++j)
        times[size_t(j)] = first + j * 2 * kOneSecond;
    values[size_t(count - 2)] = -9999.0f;
    sets[0].startTime = first;
    sets[0].intervalSeconds = 2;
    sets[0].sampleCount = count;
    ASSERT_TRUE(dataSetCollection().replaceContents(sets, values, times));

    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale::c(),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        SCOPED_TRACE(locale.name().toStdString());
        LocaleScope scope(locale);
        for (int model : {860, 862}) {
            QMdiArea area;
            area.resize(1400, 900);
            area.show();
            TfrmGraph* w = createDataLoggerWindow(&area, model, false);
            w->fillDataSetList();
            auto* sets = w->findChild<QTableWidget*>(QStringLiteral("Grid2"));
            emit sets->cellClicked(0, 1);
            QTableView* list = dataList(*w);
            ASSERT_EQ(list->model()->rowCount(), count);
            const QList<int> least{35, 60, 70, 60, 60};
            // The last rows: the largest numbers, the mark, the later date.
            list->scrollToBottom();
            QCoreApplication::processEvents();
            for (int c = 0; c < list->model()->columnCount(); ++c) {
                EXPECT_GE(list->columnWidth(c), least[c]) << c;
                EXPECT_GE(list->columnWidth(c), list->horizontalHeader()->sectionSizeHint(c)) << c;
                EXPECT_GE(list->columnWidth(c), contentWidth(list, c)) << c;
            }
            EXPECT_GE(list->rowHeight(count - 1), contentHeight(list, count - 1));
            EXPECT_GE(list->rowHeight(0), 16);
            // Evening hours, which are the widest in a 12-hour clock.
            list->scrollToTop();
            QCoreApplication::processEvents();
            EXPECT_GE(list->columnWidth(2), contentWidth(list, 2));

            const QList<int> setLeast{25, 60, 60, 65, 40, 40, 40};
            for (int c = 0; c < sets->columnCount(); ++c) {
                EXPECT_GE(sets->columnWidth(c), setLeast[c]) << c;
                EXPECT_GE(sets->columnWidth(c), sets->horizontalHeader()->sectionSizeHint(c)) << c;
                EXPECT_GE(sets->columnWidth(c), contentWidth(sets, c)) << c;
            }
            EXPECT_EQ(sets->item(0, 4)->text(), QStringLiteral("86400"));
            EXPECT_GE(sets->rowHeight(0), contentHeight(sets, 0));
            area.closeAllSubWindows();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
}
