#pragma once

#include "DragThrottle.h"
#include "LimitWatch.h"
#include "LiveRecorder.h"
#include "LiveTrend.h"
#include "LiveValues.h"
#include "LoggerModel.h"
#include "RunStatistics.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTableWidget;
class QTimer;

namespace tq {

class Chart;

// The Real Time Graph: the live reading as a trend that grows by a point a
// reading. Temperature for the 860; temperature, dew point and humidity on
// two axes for the 862. The newest reading stays in view while "Follow" is
// on; a zoom or a pan holds the view. Statistics since the start and
// between cursors A and B, limits with their excursions, and "Record to
// file", which appends every reading to a CSV flushed line by line.
//
// It knows nothing of the serial link: whoever opens it feeds it readings
// and gaps (the link lost, the device lent to a command).
class TfrmRealTime : public QWidget {
    Q_OBJECT
  public:
    explicit TfrmRealTime(QWidget* parent = nullptr, int maxPoints = LiveTrend::kDefaultMaxPoints);
    ~TfrmRealTime() override;

    // One live reading of a logger of the given model.
    void addSample(const LiveSample& sample, const LoggerModel& model);
    // No reading until the next one: the line breaks at t.
    void addGap(TDateTime t, const QString& why);
    // Where the readings come from ("every second from /dev/ttyUSB0").
    void setSourceText(const QString& text);
    // The logger the link found, for a recording started before its first
    // reading.
    void setLogger(const LoggerModel& model, bool fahrenheit);

    // Asked for the file "Record to file" appends to; empty: cancelled.
    using FileChooser = std::function<QString()>;
    void setRecordFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    Chart* chart() const { return m_chart; }
    const LiveTrend& trend() const { return m_trend; }
    const LimitWatch& limitWatch() const { return m_watch; }
    // The unit of the temperature series (none before the first reading).
    std::optional<TemperatureUnit> unit() const;
    bool following() const { return m_following; }
    bool recording() const { return m_recorder.isOpen(); }
    QString recordFileName() const { return m_recorder.fileName(); }
    bool showsHumidity() const { return m_humidity; }
    bool showsDewPoint() const;
    // Readings that went to no file (the recording was off) so far; a save
    // started at that mark covers them.
    qint64 saveMark() const { return m_unrecorded; }
    void markSaved(qint64 mark);
    // Before the window or the program closes: readings in no file are
    // asked about (Enter keeps them). True to go on; asked once.
    bool mayClose();

    // Limits of series 0..2; nullopt: none. What the limit boxes hold.
    void setLimits(int series, std::optional<float> low, std::optional<float> high);
    // Puts cursors A and B on points a and b.
    void setCursors(int a, int b);
    int cursorA() const;
    int cursorB() const;
    // The texts of the statistics table: row, column (series + 1).
    QString statisticsText(int row, int column) const;
    QString statusText() const;
    bool statusAlarm() const { return m_alarm; }

    // Controls, for tests and the window's own handlers.
    QPushButton* btnFollow = nullptr;
    QComboBox* cboSpan = nullptr;
    QCheckBox* chkDewPoint = nullptr;
    QPushButton* btnRecord = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnCursors = nullptr;
    QScrollBar* sbPan = nullptr;
    QLineEdit* edtLow[LiveTrend::kSeries] = {};
    QLineEdit* edtHigh[LiveTrend::kSeries] = {};
    QTableWidget* tblStatistics = nullptr;
    QTableWidget* tblExcursions = nullptr;
    QLabel* lblLimitState = nullptr;
    QLabel* lblStatus = nullptr;

    // Spans of cboSpan in seconds; 0: the whole trend.
    static const QList<int>& spanSeconds();

  signals:
    // The Save As button (File > Save does the same while the window is active).
    void saveRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildLayout();
    void prepareChart();
    void shareTrend();
    void grow(LiveTrend::Change change);
    void applyView();
    void refreshStatistics();
    void refreshCursorStatistics();
    void refreshLimits();
    void refreshStatus();
    // Draws now, or once the chart's newest pixel column would show more.
    void drawSoon(bool now);
    static QString cachedTime(std::pair<TDateTime, QString>& cache, TDateTime t);
    QString sinceText();
    void replayLimits();
    void readLimitBoxes();
    void watch(int point);
    void placeCursorsInView();
    // Whether series 0..2 is drawn, and those drawn, in the chart's order.
    bool shows(int series) const;
    std::vector<int> chartSeries() const;
    void stopRecording();
    float inTrendUnit(float v, bool fahrenheit) const;

    void FollowClick();
    void SpanChange();
    void DewPointClick();
    void RecordClick();
    void PanMoved(int value);
    void ChartZoomIn();
    void ChartLineHotSpot(int index);
    void ChartMouseMove();
    void ChartMouseUp();

    Chart* m_chart = nullptr;
    LiveTrend m_trend;
    LimitWatch m_watch;
    LiveRecorder m_recorder;
    FileChooser m_chooseFile;
    std::optional<bool> m_fahrenheit;   // the trend's unit, from its first reading
    std::optional<LoggerModel> m_model; // of the last reading
    bool m_humidity = false;
    bool m_following = true;
    qint64 m_unrecorded = 0; // readings written to no recording
    qint64 m_savedMark = 0;
    LoggerModel m_linkModel = kModel860;
    bool m_linkFahrenheit = false;
    bool m_alarm = false;
    bool m_panning = false; // the window moves the scroll bar itself
    QString m_source;
    QString m_gapWhy;
    QString m_note;            // a unit change, a stopped recording, dropped readings
    TDateTime m_cursorA = 0.0; // cursor times; 0: not placed yet
    TDateTime m_cursorB = 0.0;
    bool m_closeAgreed = false;
    bool m_aDragged = false;
    bool m_bDragged = false;
    QElapsedTimer m_clock;
    QElapsedTimer m_drawn;
    QTimer* m_drawTimer = nullptr;
    std::array<LiveTrend::Figures, LiveTrend::kSeries> m_shownOverall;
    std::pair<TDateTime, QString> m_firstText{-1.0, {}};
    std::pair<TDateTime, QString> m_sinceText{-1.0, {}};
    int m_paintedAlarm = -1;
    DragThrottle m_throttle;
};

} // namespace tq
