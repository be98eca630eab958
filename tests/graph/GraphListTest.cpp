// The data list and the chart of a graph window working together: the
// marker follows the list's current row, cursor and selection changes
// repaint only the cursor layer, out-of-range marks are not drawn, and the
// lists are wide enough for their texts.

#include "Chart.h"
#include "DataListView.h"
#include "DataLoggerWindow.h"
#include "DataSetCollection.h"
#include "GraphStatistics.h"
#include "GraphTestSupport.h"
#include "Regional.h"
#include "TfrmGraph.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>
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

DataListView* dataList(const TfrmGraph& w) {
    return w.findChild<DataListView*>(QStringLiteral("Grid3"));
}

// What the view's own delegate asks for the rows on screen (public in the
// base class only).
int contentWidth(const QAbstractItemView* view, int column) {
    return view->sizeHintForColumn(column);
}
int contentHeight(const QAbstractItemView* view, int row) {
    return view->sizeHintForRow(row);
}

int currentRow(const DataListView* list) {
    return list->currentReading();
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
    TfrmGraph w(kModel860);
    showFilled(w, 500);
    Chart* c = w.chart();
    DataListView* list = dataList(w);
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
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->readingRect(7, 1).center());
    EXPECT_EQ(currentRow(list), 7);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 7));

    // A point clicked on the chart selects its row, which stays in view;
    // the keyboard goes on from there.
    emit c->dataHotSpot(false, 0, 300);
    EXPECT_EQ(currentRow(list), 300);
    EXPECT_TRUE(list->viewport()->rect().contains(list->readingRect(300).center()));
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 301));
}

TEST_F(GraphListTest, TheListShowsEveryReadingOfAFullMemory) {
    // A full logger memory in one data set; the last reading out of range.
    const int n = 8'000'000;
    struct Readings {
        std::vector<double> x;
        std::vector<float> y;
    };
    auto readings = std::make_shared<Readings>();
    readings->x.resize(size_t(n));
    readings->y.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        readings->x[size_t(i)] = start() + i * 4 * kOneSecond;
        readings->y[size_t(i)] = float(i % 1000) / 10 - 50;
    }
    readings->y.back() = 9999.0f;
    TfrmGraph w(kModel860);
    w.resize(1089, 608);
    w.show();
    w.prepareGraph(1, n, readings->x.front(), readings->x.back() + 4 * kOneSecond);
    w.chart()->shareData(0, readings, readings->x.data(), readings->y.data(), n);
    w.findChild<QCheckBox*>(QStringLiteral("chkTextList"))->click();
    w.findChild<QCheckBox*>(QStringLiteral("chkTextList"))->click();
    w.fillDataList();
    QCoreApplication::processEvents();
    DataListView* list = dataList(w);
    ASSERT_EQ(list->readings(), n);
    EXPECT_LT(list->model()->rowCount(), 100) << "a row per reading";

    // What the row on screen shows against the reading itself.
    const auto expected = [&readings](int i) {
        const RegionalFormats formats;
        const double x = readings->x[size_t(i)];
        return QStringList{QString::number(i + 1), formats.date(x), formats.time(x),
                           rangedValueText(readings->y[size_t(i)])};
    };
    const auto onScreen = [list](int reading) {
        QStringList cells;
        const QModelIndex at = list->indexAt(list->readingRect(reading).center());
        if (!at.isValid() || !list->viewport()->rect().contains(list->readingRect(reading).center()))
            return cells;
        for (int c = 0; c < list->model()->columnCount(); ++c)
            cells << list->model()->index(at.row(), c).data().toString();
        return cells;
    };
    for (int reading : {0, n / 2 + 7, n - 1}) {
        list->centerOn(reading);
        EXPECT_EQ(onScreen(reading), expected(reading)) << reading;
    }
    EXPECT_EQ(onScreen(n - 1)[3], QStringLiteral("OL"));

    // The keyboard reaches both ends and the marker follows.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(list->currentReading(), n - 1);
    EXPECT_EQ(list->firstShown() + list->currentIndex().row(), n - 1);
    EXPECT_DOUBLE_EQ(w.chart()->vertLine(0), readings->x.back());
    QTest::keyClick(list, Qt::Key_Home);
    EXPECT_EQ(list->currentReading(), 0);
    EXPECT_EQ(list->firstShown(), 0);
    // The wheel scrolls by readings, as many as for any list.
    QWheelEvent down(QPointF(10, 10), list->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(list->viewport(), &down);
    EXPECT_EQ(list->firstShown(), QApplication::wheelScrollLines());
    EXPECT_EQ(onScreen(list->firstShown()), expected(list->firstShown()));
}

TEST_F(GraphListTest, SelectionAndCurrentRowSurviveScrolling) {
    TfrmGraph w(kModel860);
    showFilled(w, 5000);
    Chart* c = w.chart();
    DataListView* list = dataList(w);
    list->setFocus();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->readingRect(10, 2).center());
    ASSERT_EQ(list->currentReading(), 10);
    const int page = list->pageReadings();
    QTest::keyClick(list, Qt::Key_PageDown, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_PageDown, Qt::ShiftModifier);
    const int end = 10 + 2 * page;
    EXPECT_EQ(list->currentReading(), end);
    EXPECT_EQ(list->selectionFirst(), 10);
    EXPECT_EQ(list->selectionLast(), end);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, end));

    // Scrolled far away: nothing of it on screen, but nothing lost.
    list->setFirstShown(4000);
    EXPECT_TRUE(list->selectionModel()->selectedRows().isEmpty());
    EXPECT_FALSE(list->currentIndex().isValid());
    EXPECT_EQ(list->currentReading(), end);

    // The keyboard goes on from the current reading and brings it back.
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(list->currentReading(), end + 1);
    EXPECT_EQ(list->selectionFirst(), 10);
    EXPECT_EQ(list->selectionLast(), end + 1);
    EXPECT_EQ(list->firstShown() + list->currentIndex().row(), end + 1);
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    EXPECT_EQ(rows.size(), end + 1 - std::max(10, list->firstShown()) + 1);
    for (const QModelIndex& row : rows)
        EXPECT_GE(list->firstShown() + row.row(), 10);

    // A plain click starts again with one reading; Shift extends from it.
    list->setFirstShown(2000);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->readingRect(2003).center());
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 2003));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, list->readingRect(2001).center());
    EXPECT_EQ(list->selectionFirst(), 2001);
    EXPECT_EQ(list->selectionLast(), 2003);
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 3);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 2001)) << "a Shift click is a click";
    // A drag selects what it passes over and marks nothing.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, list->readingRect(2005).center());
    QTest::mouseMove(list->viewport(), list->readingRect(2008).center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, list->readingRect(2008).center());
    EXPECT_EQ(list->selectionFirst(), 2005);
    EXPECT_EQ(list->selectionLast(), 2008);
    EXPECT_DOUBLE_EQ(c->vertLine(0), c->x(0, 2001));
}

TEST_F(GraphListTest, CursorsAndSelectionRepaintOnlyTheCursorLayer) {
    TfrmGraph w(kModel860);
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
    TfrmGraph w(kModel860);
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
    EXPECT_EQ(dataList(w)->cellText(400, 3), QStringLiteral("OL"));
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
            TfrmGraph* w = createDataLoggerWindow(&area, *findLoggerModel(model), false);
            w->fillDataSetList();
            auto* sets = w->findChild<QTableWidget*>(QStringLiteral("Grid2"));
            emit sets->cellClicked(0, 1);
            DataListView* list = dataList(*w);
            ASSERT_EQ(list->readings(), count);
            const QList<int> least{35, 60, 70, 60, 60};
            // The last rows: the largest numbers, the mark, the later date.
            list->setFirstShown(count);
            QCoreApplication::processEvents();
            ASSERT_EQ(list->readingAt(list->readingRect(count - 1).center()), count - 1);
            for (int c = 0; c < list->model()->columnCount(); ++c) {
                EXPECT_GE(list->columnWidth(c), least[c]) << c;
                EXPECT_GE(list->columnWidth(c), list->horizontalHeader()->sectionSizeHint(c)) << c;
                EXPECT_GE(list->columnWidth(c), contentWidth(list, c)) << c;
            }
            const int lastRow = list->model()->rowCount() - 1;
            EXPECT_GE(list->rowHeight(lastRow), contentHeight(list, lastRow));
            EXPECT_GE(list->rowHeight(0), 16);
            // Evening hours, which are the widest in a 12-hour clock.
            list->setFirstShown(0);
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
