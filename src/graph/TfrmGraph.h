#pragma once

#include "CursorRange.h"
#include "DragThrottle.h"
#include "LoggerModel.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QModelIndex;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTableView;
class QTableWidget;
class QToolBar;
class QToolButton;

namespace tq {

class Chart;
class DataListModel;
class DataListView;
struct OverallTexts;

// A graph window: one series (two for a model 862 logger) as a time graph
// with overall and cursor statistics, a data list and, for the DataLogger
// window, the list of the downloaded data sets. Meant to sit in a
// QMdiSubWindow of the main window.
class TfrmGraph : public QWidget {
    Q_OBJECT
  public:
    // The model chooses the data list columns and the default graph style.
    explicit TfrmGraph(const LoggerModel& model, QWidget* parent = nullptr);
    ~TfrmGraph() override;

    // The one window captioned "DataLogger", or none.
    static TfrmGraph* dataLoggerWindow();
    // Captions this window "DataLogger" and makes it the DataLogger window.
    void becomeDataLoggerWindow();
    bool isDataLogger() const;

    // Runs before a DataLogger window holding an unsaved download closes;
    // returning false keeps the window open. The main window sets it.
    using CloseQuery = std::function<bool(TfrmGraph&)>;
    static void setDataLoggerCloseQuery(CloseQuery query);
    // Closes the window without the query: the save it asked for has
    // written its file since.
    void closeAfterSave();
    // Compare on the data set list, with several rows selected, hands the
    // selected data sets (from 0) here. The main window sets it.
    using CompareDataSets = std::function<void(const std::vector<int>&)>;
    static void setCompareDataSets(CompareDataSets handler);

    const LoggerModel& model() const { return m_model; }
    Chart* chart() const { return PESGraph1; }

    // Prepares the chart for n series of p points (from the graph template,
    // written on first use) and the X range xMin ... xMax (kept as it is
    // when xMin is 0). Throws UserError when the template cannot be read or
    // its folder cannot be made.
    void prepareGraph(int n, int p, double xMin, double xMax);
    // Cross and text tools only work on a single axis.
    void updateToolAvailability();
    void refreshStatistics();
    // The data list shows the chart's points as they are now (a row per
    // point, its texts made when it is painted).
    void fillDataList();
    // Selects row `row` of the data list (0 = point 0) and scrolls it into
    // view, in the middle of the list when it lies below the first
    // screenful. Moves no marker: callers follow with selectPoint.
    void selectDataRow(int row);

    // The selection marker on point i; cursors back to 1/3 and 2/3.
    void selectPoint(int i);
    void refreshCursorStatistics();
    // The point nearest to the last pointer position; cursor A's point when
    // the pointer is outside the plotting rectangle.
    int nearestPoint() const;
    int cursorAIndex() const { return m_aIndex; }
    int cursorBIndex() const { return m_bIndex; }

    // After a file was loaded into the chart: statistics, tools, data list
    // with its first row selected, marker on point 0, the data list shown
    // without the data set list.
    void showLoadedFile();

    // Shows the data set list and the data list beside the graph.
    void showDataLists();
    // Fills the data set list from the program's collection (DataLogger).
    void fillDataSetList();
    void addCompareAction();
    // Graphs data set k of the program's collection with its own start,
    // rate and count; nothing for a k out of range. Throws UserError as
    // prepareGraph does.
    void showDataSet(int k);
    // showDataSet, then the data list filled with its first row selected
    // and, when asked, the marker on point 0 (cursors at a third and two).
    void showDataSetWithList(int k, bool placeCursors);
    // The data set of the program's collection this window graphs (0-based),
    // or -1 for a window that shows none (a file's, or before the first).
    int shownDataSet() const { return m_dataSet; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildLayout();
    void showDataSetsPanelBeside();
    void buildDataList();
    void fitDataListColumns();
    void fitDataSetColumns();
    void connectHandlers();
    void setToolMode(int mode);
    void setOverallTexts(const OverallTexts& texts);
    void moveDraggedCursor(bool& dragged, int line, double x);

    // Handlers, named after their control and event.
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton9Click();
    void UndoZoomClick();
    void Button1Click();
    void chkSplitClick();
    void chkTextListClick();
    void Grid2Click(int row);
    void Grid3Click(int row);
    void Grid3CurrentRowChanged(int row);
    void PESGraph1DataHotSpot(bool dblClick, int subset, int point);
    void PESGraph1VertLineAnnotHotSpot(bool dblClick, int index);
    void PESGraph1MouseMove();
    void PESGraph1MouseUp();
    void PESGraph1Click();
    void PESGraph1GraphHotSpot();
    void PESGraph1GraphAnnotHotSpot(bool dblClick, int index);
    void PESGraph1ZoomIn();
    void PESGraph1CustomizeDlg(bool accepted);

    LoggerModel m_model;
    int m_dataSet = -1;
    // Cursor state is kept per window, so an index always belongs to this
    // window's chart.
    int m_aIndex = 0;
    // Series 0 summed up for the statistics between the cursors, built
    // again when the chart's points change.
    CursorRange m_cursorRange;
    int m_bIndex = 0;
    bool m_aDragged = false;
    bool m_bDragged = false;
    QElapsedTimer m_clock;
    DragThrottle m_throttle;
    // The data list's current row moves the marker, except while the
    // window selects a row itself.
    bool m_selectingRow = false;
    // A mouse press moved the data set row: the click that follows has
    // nothing left to show.
    bool m_dataSetRowPressed = false;
    bool m_closeAsked = false; // closeAfterSave

    QSplitter* m_mainSplitter = nullptr;
    QWidget* pnlDataSets = nullptr;
    QLabel* StaticText1 = nullptr;
    QTableWidget* Grid2 = nullptr;
    QSplitter* m_listSplitter = nullptr;
    QWidget* pnlDataList = nullptr;
    QLabel* StaticText2 = nullptr;
    DataListView* Grid3 = nullptr;
    DataListModel* m_dataList = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QToolButton* ToolButton9 = nullptr;
    QPushButton* UndoZoom = nullptr;
    QPushButton* Button1 = nullptr;
    QCheckBox* chkSplit = nullptr;
    QWidget* pnlGraphStatistic = nullptr;
    QLineEdit* txtStartTime = nullptr;
    QLineEdit* txtSamplingRate = nullptr;
    QLineEdit* txtDataNo = nullptr;
    QCheckBox* chkTextList = nullptr;
    Chart* PESGraph1 = nullptr;
    QWidget* pnlStatistic = nullptr;
    QLineEdit* txtT1Max = nullptr;
    QLineEdit* txtT1Min = nullptr;
    QLineEdit* txtT1Avg = nullptr;
    QLineEdit* txtCursorA = nullptr;
    QLineEdit* txtCursorATime = nullptr;
    QLineEdit* txtCursorB = nullptr;
    QLineEdit* txtCursorBTime = nullptr;
    QLineEdit* txtMaxAB = nullptr;
    QLineEdit* txtMaxABTime = nullptr;
    QLineEdit* txtAvgAB = nullptr;
    QLineEdit* txtMinAB = nullptr;
    QLineEdit* txtMinABTime = nullptr;
};

} // namespace tq
