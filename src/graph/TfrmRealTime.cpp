#include "TfrmRealTime.h"

#include "Chart.h"
#include "GraphStatistics.h"
#include "Messages.h"
#include "Regional.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace tq {

namespace {
constexpr double kSecond = 1.0 / 86400.0;
constexpr int kTemperature = 0, kHumidity = 1, kDewPoint = 2;
constexpr int kListedExcursions = 500;
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 160, 0);
const QColor kDragGrey(190, 190, 190);
const QColor kSeriesColor[LiveTrend::kSeries] = {QColor(200, 0, 0), QColor(0, 90, 200), QColor(0, 150, 110)};
const QColor kLimitColor[LiveTrend::kSeries] = {QColor(230, 60, 60), QColor(60, 120, 230),
                                                QColor(40, 170, 130)};

// Rows of the statistics table.
enum Row { MaxRow, MinRow, AvgRow, CursorARow, CursorBRow, MaxABRow, MinABRow, AvgABRow, RowCount };

QString seriesName(int s) {
    switch (s) {
    case kTemperature:
        return QStringLiteral("Temperature");
    case kHumidity:
        return QStringLiteral("Humidity");
    default:
        return QStringLiteral("Dew point");
    }
}

QString extremeText(float v, TDateTime at, qint64 values) {
    if (values == 0) return QString();
    return isOutOfRange(v) ? QStringLiteral("OL") : valueText(v, 1) + QLatin1Char('@') + dateTimeText(at);
}

QString averageText(const LiveTrend::Figures& f) {
    if (f.values == 0) return QString();
    return f.count > 0 ? valueText(f.sum / double(f.count), 3) : noAverageText();
}

std::optional<float> limitOf(const QLineEdit* box, bool* ok) {
    const QString text = box->text().trimmed();
    *ok = true;
    if (text.isEmpty()) return std::nullopt;
    double v = 0.0;
    if (RegionalFormats().parseValue(text, v) && std::isfinite(v) && std::fabs(v) < 3000.0) return float(v);
    *ok = false;
    return std::nullopt;
}

QString durationText(double seconds) {
    const qint64 s = qint64(std::llround(seconds));
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

const QList<int>& TfrmRealTime::spanSeconds() {
    static const QList<int> spans{0, 600, 3600, 6 * 3600, 86400, 7 * 86400};
    return spans;
}

TfrmRealTime::TfrmRealTime(QWidget* parent, int maxPoints) : QWidget(parent), m_trend(maxPoints) {
    setWindowTitle(QStringLiteral("Real Time Graph"));
    setObjectName(QStringLiteral("frmRealTime"));
    buildLayout();
    prepareChart();
    refreshStatistics();
    refreshCursorStatistics();
    refreshLimits();
    refreshStatus();
}

TfrmRealTime::~TfrmRealTime() = default;

void TfrmRealTime::buildLayout() {
    auto* top = new QHBoxLayout;
    btnFollow = new QPushButton(QStringLiteral("Follow"));
    btnFollow->setObjectName(QStringLiteral("btnFollow"));
    btnFollow->setCheckable(true);
    btnFollow->setChecked(true);
    btnFollow->setToolTip(QStringLiteral("Keep the newest reading in view"));
    cboSpan = new QComboBox;
    cboSpan->setObjectName(QStringLiteral("cboSpan"));
    cboSpan->addItems({QStringLiteral("Whole trend"), QStringLiteral("Last 10 minutes"),
                       QStringLiteral("Last hour"), QStringLiteral("Last 6 hours"),
                       QStringLiteral("Last day"), QStringLiteral("Last week")});
    chkDewPoint = new QCheckBox(QStringLiteral("Dew point"));
    chkDewPoint->setObjectName(QStringLiteral("chkDewPoint"));
    chkDewPoint->setChecked(true);
    chkDewPoint->setVisible(false);
    btnCursors = new QPushButton(QStringLiteral("Cursors to view"));
    btnCursors->setObjectName(QStringLiteral("btnCursors"));
    btnRecord = new QPushButton(QStringLiteral("Record to file..."));
    btnRecord->setObjectName(QStringLiteral("btnRecord"));
    btnRecord->setCheckable(true);
    btnSave = new QPushButton(QStringLiteral("Save As..."));
    btnSave->setObjectName(QStringLiteral("btnSave"));
    top->addWidget(btnFollow);
    top->addWidget(cboSpan);
    top->addWidget(chkDewPoint);
    top->addWidget(btnCursors);
    top->addStretch(1);
    top->addWidget(btnRecord);
    top->addWidget(btnSave);

    m_chart = new Chart;
    m_chart->setObjectName(QStringLiteral("PESGraph1"));
    m_chart->setMinimumSize(300, 160);
    sbPan = new QScrollBar(Qt::Horizontal);
    sbPan->setObjectName(QStringLiteral("sbPan"));
    sbPan->setVisible(false);
    auto* graph = new QWidget;
    auto* graphBox = new QVBoxLayout(graph);
    graphBox->setContentsMargins(0, 0, 0, 0);
    graphBox->setSpacing(0);
    graphBox->addWidget(m_chart, 1);
    graphBox->addWidget(sbPan);

    tblStatistics = new QTableWidget(RowCount, 1 + LiveTrend::kSeries);
    tblStatistics->setObjectName(QStringLiteral("tblStatistics"));
    tblStatistics->setHorizontalHeaderLabels(
        {QString(), seriesName(kTemperature), seriesName(kHumidity), seriesName(kDewPoint)});
    const QStringList rows{QStringLiteral("Max since start"),
                           QStringLiteral("Min since start"),
                           QStringLiteral("Average since start"),
                           QStringLiteral("Cursor A"),
                           QStringLiteral("Cursor B"),
                           QStringLiteral("Max A-B"),
                           QStringLiteral("Min A-B"),
                           QStringLiteral("Average A-B")};
    for (int r = 0; r < RowCount; ++r) {
        auto* name = new QTableWidgetItem(rows[r]);
        name->setFlags(Qt::ItemIsEnabled);
        tblStatistics->setItem(r, 0, name);
        for (int c = 1; c <= LiveTrend::kSeries; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            tblStatistics->setItem(r, c, item);
        }
    }
    tblStatistics->verticalHeader()->setVisible(false);
    tblStatistics->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblStatistics->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* limits = new QGroupBox(QStringLiteral("Limits"));
    auto* grid = new QGridLayout(limits);
    grid->addWidget(new QLabel(QStringLiteral("Low")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("High")), 0, 2);
    for (int s = 0; s < LiveTrend::kSeries; ++s) {
        grid->addWidget(new QLabel(seriesName(s)), s + 1, 0);
        edtLow[s] = new QLineEdit;
        edtHigh[s] = new QLineEdit;
        edtLow[s]->setObjectName(QStringLiteral("edtLow%1").arg(s));
        edtHigh[s]->setObjectName(QStringLiteral("edtHigh%1").arg(s));
        for (QLineEdit* e : {edtLow[s], edtHigh[s]}) {
            e->setPlaceholderText(QStringLiteral("none"));
            e->setMaximumWidth(90);
            connect(e, &QLineEdit::editingFinished, this, [this] { readLimitBoxes(); });
        }
        grid->addWidget(edtLow[s], s + 1, 1);
        grid->addWidget(edtHigh[s], s + 1, 2);
    }
    lblLimitState = new QLabel;
    lblLimitState->setObjectName(QStringLiteral("lblLimitState"));
    lblLimitState->setWordWrap(true);
    grid->addWidget(lblLimitState, LiveTrend::kSeries + 1, 0, 1, 3);
    tblExcursions = new QTableWidget(0, 4);
    tblExcursions->setObjectName(QStringLiteral("tblExcursions"));
    tblExcursions->setHorizontalHeaderLabels({QStringLiteral("Series"), QStringLiteral("Start"),
                                              QStringLiteral("End"), QStringLiteral("Extreme")});
    tblExcursions->verticalHeader()->setVisible(false);
    tblExcursions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblExcursions->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // It scrolls in whatever height the statistics leave.
    tblExcursions->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    tblExcursions->setMinimumHeight(tblExcursions->horizontalHeader()->sizeHint().height() * 3);
    grid->setRowStretch(LiveTrend::kSeries + 2, 1);
    grid->addWidget(tblExcursions, LiveTrend::kSeries + 2, 0, 1, 3);

    auto* lower = new QSplitter(Qt::Horizontal);
    lower->addWidget(tblStatistics);
    // At a large scale the limits scroll rather than squeeze the graph.
    auto* limitsScroll = new QScrollArea;
    limitsScroll->setWidget(limits);
    limitsScroll->setWidgetResizable(true);
    limitsScroll->setFrameShape(QFrame::NoFrame);
    lower->addWidget(limitsScroll);
    lower->setStretchFactor(0, 3);
    lower->setStretchFactor(1, 2);
    // The tables need no more height than the statistics' rows; the rest
    // is the graph's.
    tblStatistics->resizeRowsToContents();
    lower->setMaximumHeight(3 * tblStatistics->verticalHeader()->defaultSectionSize() +
                            tblStatistics->verticalHeader()->length() +
                            tblStatistics->horizontalHeader()->sizeHint().height() +
                            2 * tblStatistics->frameWidth() + 4);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(graph);
    split->addWidget(lower);
    // The graph takes what the tables leave.
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setCollapsible(0, false);

    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setAutoFillBackground(true);
    lblStatus->setMargin(3);
    lblStatus->setWordWrap(true);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(4, 4, 4, 4);
    box->addLayout(top);
    box->addWidget(split, 1);
    box->addWidget(lblStatus);

    connect(btnFollow, &QPushButton::clicked, this, [this] { FollowClick(); });
    connect(cboSpan, &QComboBox::currentIndexChanged, this, [this] { SpanChange(); });
    connect(chkDewPoint, &QCheckBox::clicked, this, [this] { DewPointClick(); });
    connect(btnRecord, &QPushButton::clicked, this, [this] { RecordClick(); });
    connect(btnSave, &QPushButton::clicked, this, &TfrmRealTime::saveRequested);
    connect(btnCursors, &QPushButton::clicked, this, [this] { placeCursorsInView(); });
    connect(sbPan, &QScrollBar::valueChanged, this, [this](int v) { PanMoved(v); });
    connect(m_chart, &Chart::zoomIn, this, [this] { ChartZoomIn(); });
    connect(m_chart, &Chart::vertLineAnnotHotSpot, this,
            [this](bool, int index) { ChartLineHotSpot(index); });
    connect(m_chart, &Chart::mouseMoved, this, [this] { ChartMouseMove(); });
    connect(m_chart, &Chart::mouseReleased, this, [this] { ChartMouseUp(); });
    m_drawTimer = new QTimer(this);
    m_drawTimer->setSingleShot(true);
    connect(m_drawTimer, &QTimer::timeout, this, [this] { drawSoon(true); });
}

bool TfrmRealTime::shows(int series) const {
    return series == kTemperature || (series == kHumidity && m_humidity) ||
           (series == kDewPoint && showsDewPoint());
}

std::vector<int> TfrmRealTime::chartSeries() const {
    // Temperature, then dew point (same unit, same axis), then humidity.
    std::vector<int> shown;
    for (const int s : {kTemperature, kDewPoint, kHumidity})
        if (shows(s)) shown.push_back(s);
    return shown;
}

bool TfrmRealTime::showsDewPoint() const {
    return m_humidity && chkDewPoint->isChecked();
}

std::optional<TemperatureUnit> TfrmRealTime::unit() const {
    if (!m_fahrenheit) return std::nullopt;
    return *m_fahrenheit ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
}

void TfrmRealTime::prepareChart() {
    Chart& c = *m_chart;
    const std::vector<int> series = chartSeries();
    const int n = int(series.size());
    c.setSubsets(n);
    QVector<int> perAxis{n == 3 ? 2 : 1};
    if (n > 1) perAxis.append(1);
    c.setMultiAxesSubsets(perAxis);
    const QString unitText = m_fahrenheit.value_or(false) ? QStringLiteral("°F") : QStringLiteral("°C");
    int k = 0;
    for (const int s : series) {
        c.setSubsetLabel(k, s == kHumidity ? seriesName(s) + QStringLiteral(" %RH")
                                           : seriesName(s) + QLatin1Char(' ') + unitText);
        c.setSubsetColor(k, kSeriesColor[s]);
        ++k;
    }
    c.setWorkingAxis(0);
    c.setYAxisLabel(unitText);
    if (n > 1) {
        c.setWorkingAxis(1);
        c.setYAxisLabel(QStringLiteral("%RH"));
        c.setWorkingAxis(0);
    }
    // The window's caption names it; the graph keeps its height.
    c.setMainTitle(QString());
    c.setNullValueY(kNullReading);
    c.setOutOfRangeLimitY(kOutOfRangeLimit);
    c.setShowVertLineAnnotations(true);
    c.setAllowVertLineAnnotHotSpots(true);
    c.setZooming(Chart::Zooming::Horizontal);
    c.setVertLineColor(1, kBlue);
    c.setVertLineColor(2, kGreen);
    c.setVertLineText(1, QStringLiteral("A"));
    c.setVertLineText(2, QStringLiteral("B"));
    shareTrend();
}

void TfrmRealTime::shareTrend() {
    Chart& c = *m_chart;
    if (m_trend.size() == 0) {
        c.setPoints(0);
    } else {
        int k = 0;
        for (const int s : chartSeries())
            c.shareData(k++, m_trend.owner(), m_trend.x(), m_trend.y(s), m_trend.size());
    }
    c.setVertLine(1, m_cursorA);
    c.setVertLine(2, m_cursorB);
    applyView();
}

void TfrmRealTime::grow(LiveTrend::Change change) {
    if (change == LiveTrend::Change::Dropped || m_chart->points() == 0) return shareTrend();
    std::vector<const float*> ys;
    for (const int s : chartSeries())
        ys.push_back(m_trend.y(s));
    if (!m_chart->extendSharedData(m_trend.size(), m_trend.x(), ys)) return shareTrend();
    applyView();
}

float TfrmRealTime::inTrendUnit(float v, bool fahrenheit) const {
    // The trend keeps the unit of its first reading; marks stay marks.
    if (!m_fahrenheit || fahrenheit == *m_fahrenheit || !isReading(v)) return v;
    return fahrenheit ? (v - 32.0f) * 5.0f / 9.0f : v * 9.0f / 5.0f + 32.0f;
}

void TfrmRealTime::addSample(const LiveSample& sample, const LoggerModel& model) {
    const bool first = !m_fahrenheit;
    if (first) m_fahrenheit = sample.fahrenheit;
    if (!first && sample.fahrenheit != *m_fahrenheit)
        m_note = QStringLiteral("The logger now shows %1; the trend stays in %2.")
                     .arg(sample.fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C"),
                          *m_fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C"));
    LiveSample s = sample;
    s.temperature = inTrendUnit(sample.temperature, sample.fahrenheit);
    s.dewPoint = inTrendUnit(sample.dewPoint, sample.fahrenheit);
    s.fahrenheit = *m_fahrenheit;
    m_model = model;
    const bool humidity = model.seriesCount == 2;
    const bool structure = first || (!m_humidity && humidity);
    if (humidity) m_humidity = true;
    chkDewPoint->setVisible(m_humidity);

    const qint64 dropped = m_trend.droppedPoints();
    const LiveTrend::Change change = m_trend.add(s.time, {s.temperature, s.humidity, s.dewPoint});
    s.time = m_trend.lastTime(); // the file keeps the trend's times
    if (m_trend.droppedPoints() != dropped)
        m_note = QStringLiteral("The oldest readings left the trend to keep its memory bounded%1.")
                     .arg(recording() ? QStringLiteral(" (the file keeps them)") : QString());
    m_gapWhy.clear();
    if (structure)
        prepareChart();
    else
        grow(change);
    if (change == LiveTrend::Change::Dropped) {
        replayLimits();
        refreshCursorStatistics();
    } else {
        watch(m_trend.size() - 1);
    }

    if (!recording()) ++m_unrecorded;
    if (recording() && !m_recorder.append(s)) {
        ++m_unrecorded;
        const QString why = m_recorder.error();
        stopRecording();
        m_note = QStringLiteral("Recording stopped: %1").arg(why);
        // Told after this reading is handled, not inside the link's handler.
        QTimer::singleShot(0, this, [why] { Messages::error(why); });
    }
    // Cursors come once there is something to measure between.
    if (m_cursorA == 0.0 && m_trend.readings() >= 3)
        setCursors(cursorAIndex(m_trend.size()), cursorBIndex(m_trend.size()));
    const bool alarm = m_alarm;
    refreshStatistics();
    refreshLimits();
    refreshStatus();
    // An alarm starting or ending shows at once; other readings as drawing allows.
    drawSoon(structure || alarm != m_alarm || change == LiveTrend::Change::Dropped);
}

void TfrmRealTime::addGap(TDateTime t, const QString& why) {
    m_gapWhy = why;
    const int before = m_trend.size();
    const LiveTrend::Change change = m_trend.addGap(t);
    if (m_trend.size() != before) {
        // At the gap point's time, which carries the trend's shift as its readings do.
        if (recording()) m_recorder.appendGap(m_trend.x()[m_trend.size() - 1]);
        grow(change);
    }
    refreshStatus();
    drawSoon(true);
}

void TfrmRealTime::drawSoon(bool now) {
    if (!isVisible()) return;
    // A new reading changes at most the newest pixel column: drawing
    // the whole chart each second is only worth it while a column holds
    // about a second. A long trend is drawn once a column's time has passed
    // (ten seconds at most), so it costs about the same at any length.
    const QRect plot = m_chart->plotRect();
    const double span =
        m_chart->pixelToValue(plot.topRight()).x() - m_chart->pixelToValue(plot.topLeft()).x();
    const double perColumnMs = span * 86400000.0 / std::max(1, plot.width());
    const int waitMs = int(std::clamp(perColumnMs, 900.0, 10000.0));
    if (!now && m_drawn.isValid() && m_drawn.elapsed() < waitMs) {
        if (!m_drawTimer->isActive()) m_drawTimer->start(int(waitMs - m_drawn.elapsed()));
        return;
    }
    m_drawTimer->stop();
    m_chart->redraw();
    m_drawn.start();
}

void TfrmRealTime::setSourceText(const QString& text) {
    // The live link tells it with every reading; mostly nothing changed.
    if (m_source == text) return;
    m_source = text;
    refreshStatus();
}

void TfrmRealTime::markSaved(qint64 mark) {
    m_savedMark = std::max(m_savedMark, mark);
}

void TfrmRealTime::setLogger(const LoggerModel& model, bool fahrenheit) {
    m_linkModel = model;
    m_linkFahrenheit = fahrenheit;
}

// --- view --------------------------------------------------------------------

void TfrmRealTime::applyView() {
    const int span = spanSeconds().value(cboSpan->currentIndex());
    const bool whole = span == 0 || m_trend.size() == 0;
    const double first = m_trend.size() ? m_trend.x()[0] : 0.0;
    const double last = m_trend.size() ? m_trend.x()[m_trend.size() - 1] : 0.0;
    const double width = span * kSecond;
    // The scroll bar runs in seconds over the part of the trend before the span.
    const int room = whole ? 0 : int(std::max(0.0, std::ceil((last - first - width) / kSecond)));
    m_panning = true;
    sbPan->setVisible(!whole);
    sbPan->setRange(0, room);
    sbPan->setPageStep(std::max(1, span));
    sbPan->setSingleStep(std::max(1, span / 10));
    if (m_following) sbPan->setValue(room);
    m_panning = false;
    if (!m_following || m_chart->isZoomed()) return;
    if (whole)
        m_chart->setAutoX();
    else
        m_chart->setManualX(std::max(first, last - width), std::max(first, last - width) + width);
}

void TfrmRealTime::FollowClick() {
    m_following = true;
    btnFollow->setChecked(true);
    if (m_chart->isZoomed()) m_chart->undoZoom();
    applyView();
    m_chart->redraw();
}

void TfrmRealTime::SpanChange() {
    FollowClick();
}

void TfrmRealTime::PanMoved(int value) {
    if (m_panning || m_trend.size() == 0) return;
    const int span = spanSeconds().value(cboSpan->currentIndex());
    if (span == 0) return;
    // At the newest end the view follows again; anywhere else it holds.
    m_following = value >= sbPan->maximum();
    btnFollow->setChecked(m_following);
    if (m_chart->isZoomed()) m_chart->undoZoom();
    const double from = m_trend.x()[0] + value * kSecond;
    m_chart->setManualX(from, from + span * kSecond);
    m_chart->redraw();
}

void TfrmRealTime::ChartZoomIn() {
    m_following = false;
    btnFollow->setChecked(false);
}

void TfrmRealTime::DewPointClick() {
    prepareChart();
    replayLimits();
    refreshStatistics();
    m_chart->redraw();
}

void TfrmRealTime::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Readings that came while hidden are drawn now.
    m_chart->redraw();
}

// --- cursors and statistics ----------------------------------------------------

void TfrmRealTime::setCursors(int a, int b) {
    if (m_trend.size() == 0) return;
    m_cursorA = m_trend.x()[clampIndex(a, m_trend.size())];
    m_cursorB = m_trend.x()[clampIndex(b, m_trend.size())];
    m_chart->setVertLine(1, m_cursorA);
    m_chart->setVertLine(2, m_cursorB);
    refreshCursorStatistics();
    m_chart->invalidateImage();
}

int TfrmRealTime::cursorA() const {
    return m_trend.nearest(m_cursorA);
}

int TfrmRealTime::cursorB() const {
    return m_trend.nearest(m_cursorB);
}

void TfrmRealTime::placeCursorsInView() {
    if (m_trend.size() == 0) return;
    const QRect plot = m_chart->plotRect();
    const double from = m_chart->pixelToValue(plot.topLeft()).x();
    const double to = m_chart->pixelToValue(plot.topRight()).x();
    setCursors(m_trend.nearest(from + (to - from) / 3.0), m_trend.nearest(from + 2.0 * (to - from) / 3.0));
}

void TfrmRealTime::ChartLineHotSpot(int index) {
    bool* dragged = index == 1 ? &m_aDragged : index == 2 ? &m_bDragged : nullptr;
    if (!dragged || *dragged || m_trend.size() == 0) return;
    *dragged = true;
    if (!m_clock.isValid()) m_clock.start();
    m_throttle.start(m_clock.elapsed());
    m_chart->setVertLineColor(index, kDragGrey);
    m_chart->invalidateImage();
}

void TfrmRealTime::ChartMouseMove() {
    if ((!m_aDragged && !m_bDragged) || !m_throttle.take(m_clock.elapsed())) return;
    const QPoint pos = m_chart->lastMousePos();
    if (!m_chart->plotRect().contains(pos)) return;
    m_chart->setVertLine(m_aDragged ? 1 : 2, m_chart->pixelToValue(pos).x());
    m_chart->invalidateImage();
}

void TfrmRealTime::ChartMouseUp() {
    if (!m_aDragged && !m_bDragged) return;
    m_chart->setVertLineColor(1, kBlue);
    m_chart->setVertLineColor(2, kGreen);
    const QPoint pos = m_chart->lastMousePos();
    const int i = m_trend.nearest(m_chart->pixelToValue(pos).x());
    if (m_aDragged) m_cursorA = m_trend.x()[i];
    if (m_bDragged) m_cursorB = m_trend.x()[i];
    m_aDragged = m_bDragged = false;
    m_chart->setVertLine(1, m_cursorA);
    m_chart->setVertLine(2, m_cursorB);
    refreshCursorStatistics();
    m_chart->invalidateImage();
}

QString TfrmRealTime::statisticsText(int row, int column) const {
    const QTableWidgetItem* item = tblStatistics->item(row, column);
    return item ? item->text() : QString();
}

void TfrmRealTime::refreshStatistics() {
    for (int s = 0; s < LiveTrend::kSeries; ++s) {
        const bool shown = shows(s);
        if (tblStatistics->isColumnHidden(s + 1) == shown) tblStatistics->setColumnHidden(s + 1, !shown);
        const LiveTrend::Figures& f = m_trend.overall(s);
        // Times are formatted only when an extreme moved: a time text reads
        // the time zone, which is not free once a second.
        LiveTrend::Figures& before = m_shownOverall[size_t(s)];
        const bool fresh = f.values == 0 || before.values == 0;
        if (fresh || f.max != before.max || f.maxTime != before.maxTime)
            tblStatistics->item(MaxRow, s + 1)->setText(extremeText(f.max, f.maxTime, f.values));
        if (fresh || f.min != before.min || f.minTime != before.minTime)
            tblStatistics->item(MinRow, s + 1)->setText(extremeText(f.min, f.minTime, f.values));
        tblStatistics->item(AvgRow, s + 1)->setText(averageText(f));
        before = f;
    }
}

void TfrmRealTime::refreshCursorStatistics() {
    const bool placed = m_cursorA != 0.0 && m_trend.size() > 0;
    const int a = placed ? cursorA() : 0, b = placed ? cursorB() : 0;
    for (int s = 0; s < LiveTrend::kSeries; ++s) {
        const LiveTrend::Figures f = placed ? m_trend.between(s, a, b) : LiveTrend::Figures{};
        auto at = [&](int i) {
            if (!placed) return QString();
            if (m_trend.isGap(i)) return QStringLiteral("gap@") + dateTimeText(m_trend.x()[i]);
            return rangedValueText(m_trend.y(s)[i]) + QLatin1Char('@') + dateTimeText(m_trend.x()[i]);
        };
        tblStatistics->item(CursorARow, s + 1)->setText(at(a));
        tblStatistics->item(CursorBRow, s + 1)->setText(at(b));
        tblStatistics->item(MaxABRow, s + 1)->setText(extremeText(f.max, f.maxTime, f.values));
        tblStatistics->item(MinABRow, s + 1)->setText(extremeText(f.min, f.minTime, f.values));
        tblStatistics->item(AvgABRow, s + 1)->setText(averageText(f));
    }
}

// --- limits ----------------------------------------------------------------

void TfrmRealTime::setLimits(int series, std::optional<float> low, std::optional<float> high) {
    if (series < 0 || series >= LiveTrend::kSeries) return;
    edtLow[series]->setText(low ? valueText(*low, 1) : QString());
    edtHigh[series]->setText(high ? valueText(*high, 1) : QString());
    readLimitBoxes();
}

void TfrmRealTime::readLimitBoxes() {
    bool changed = false;
    for (int s = 0; s < LiveTrend::kSeries; ++s) {
        bool lowOk = true, highOk = true;
        const std::optional<float> low = limitOf(edtLow[s], &lowOk);
        const std::optional<float> high = limitOf(edtHigh[s], &highOk);
        const bool crossed = low && high && *low >= *high;
        edtLow[s]->setStyleSheet(lowOk && !crossed ? QString() : QStringLiteral("background: #ffd0d0"));
        edtHigh[s]->setStyleSheet(highOk && !crossed ? QString() : QStringLiteral("background: #ffd0d0"));
        // A box that does not hold a number keeps the limit it had.
        if (!lowOk || !highOk || crossed) continue;
        const LimitWatch::Limits now = m_watch.limits(s);
        if (now.low == low && now.high == high) continue;
        m_watch.setLimits(s, {low, high});
        changed = true;
    }
    if (!changed) return;
    replayLimits();
    refreshLimits();
    refreshStatus();
    m_chart->redraw();
}

void TfrmRealTime::watch(int point) {
    if (point < 0 || m_trend.isGap(point)) return;
    for (int s = 0; s < LiveTrend::kSeries; ++s) {
        // The dew point is watched while hidden too: hiding it hides no excursion.
        if (s != kTemperature && !m_humidity) continue;
        m_watch.add(s, m_trend.x()[point], m_trend.y(s)[point]);
    }
}

void TfrmRealTime::replayLimits() {
    m_watch.reset();
    for (int i = 0; i < m_trend.size(); ++i)
        watch(i);
    // Limits drawn as the zones beyond them, on the axis of their series.
    QVector<Chart::ValueBand> bands;
    const double inf = std::numeric_limits<double>::infinity();
    for (int s = 0; s < LiveTrend::kSeries; ++s) {
        if (!shows(s)) continue;
        const int axis = s == kHumidity ? 1 : 0;
        const LimitWatch::Limits l = m_watch.limits(s);
        if (l.low) bands.append({-inf, double(*l.low), kLimitColor[s], axis});
        if (l.high) bands.append({double(*l.high), inf, kLimitColor[s], axis});
    }
    m_chart->setValueBands(bands);
}

void TfrmRealTime::refreshLimits() {
    const std::vector<Excursion>& list = m_watch.excursions();
    // A reading that dithers about a limit for days makes thousands: the
    // newest are listed, every one is counted.
    const int shown = std::min<int>(int(list.size()), kListedExcursions);
    const size_t first = list.size() - size_t(shown);
    if (tblExcursions->rowCount() != shown) tblExcursions->setRowCount(shown);
    for (int r = 0; r < shown; ++r) {
        const Excursion& e = list[first + size_t(r)];
        const QStringList texts{
            seriesName(e.series) + (e.high ? QStringLiteral(" high") : QStringLiteral(" low")),
            dateTimeText(e.start), e.end == 0.0 ? QStringLiteral("(open)") : dateTimeText(e.end),
            valueText(e.extreme, 1) + QLatin1Char('@') + dateTimeText(e.extremeAt)};
        for (int c = 0; c < 4; ++c) {
            QTableWidgetItem* item = tblExcursions->item(r, c);
            if (!item) tblExcursions->setItem(r, c, item = new QTableWidgetItem);
            if (item->text() != texts[c]) item->setText(texts[c]);
        }
    }
    bool any = false;
    for (int s = 0; s < LiveTrend::kSeries; ++s)
        any = any || m_watch.limits(s).low || m_watch.limits(s).high;
    m_alarm = m_watch.outside();
    if (!any)
        lblLimitState->setText(QStringLiteral("No limits set."));
    else if (m_alarm)
        lblLimitState->setText(
            QStringLiteral("Outside the limits since %1. Time outside: %2 in %3 excursion(s).")
                .arg(sinceText(), durationText(m_watch.secondsOutside()))
                .arg(list.size()));
    else
        lblLimitState->setText(QStringLiteral("Within the limits. Time outside: %1 in %2 excursion(s).")
                                   .arg(durationText(m_watch.secondsOutside()))
                                   .arg(list.size()));
}

// --- status and recording ------------------------------------------------------

QString TfrmRealTime::cachedTime(std::pair<TDateTime, QString>& cache, TDateTime t) {
    // A time text reads the time zone, which is not free once a second.
    if (cache.first != t) cache = {t, dateTimeText(t)};
    return cache.second;
}

QString TfrmRealTime::sinceText() {
    return cachedTime(m_sinceText, m_watch.outsideSince());
}

QString TfrmRealTime::statusText() const {
    return lblStatus->text();
}

void TfrmRealTime::refreshStatus() {
    QStringList parts;
    if (m_alarm) parts << QStringLiteral("OUTSIDE THE LIMITS since %1").arg(sinceText());
    if (!m_gapWhy.isEmpty())
        parts << m_gapWhy;
    else if (m_trend.readings() == 0)
        parts << QStringLiteral("Waiting for the first reading");
    if (m_trend.readings() > 0)
        parts << QStringLiteral("%1 readings since %2")
                     .arg(m_trend.readings())
                     .arg(cachedTime(m_firstText, m_trend.firstTime()));
    if (!m_source.isEmpty()) parts << m_source;
    if (recording())
        parts << QStringLiteral("recording to %1").arg(QFileInfo(m_recorder.fileName()).fileName());
    if (!m_note.isEmpty()) parts << m_note;
    const QString text = parts.join(QStringLiteral(" · "));
    if (lblStatus->text() != text) lblStatus->setText(text);
    if (m_paintedAlarm == int(m_alarm)) return;
    m_paintedAlarm = int(m_alarm);
    QPalette p = lblStatus->palette();
    p.setColor(QPalette::Window, m_alarm ? QColor(220, 30, 30) : palette().color(QPalette::Window));
    p.setColor(QPalette::WindowText, m_alarm ? Qt::white : palette().color(QPalette::WindowText));
    lblStatus->setPalette(p);
}

void TfrmRealTime::stopRecording() {
    m_recorder.close();
    btnRecord->setChecked(false);
    btnRecord->setText(QStringLiteral("Record to file..."));
}

void TfrmRealTime::RecordClick() {
    if (recording()) {
        stopRecording();
        refreshStatus();
        return;
    }
    btnRecord->setChecked(false);
    const QString name = m_chooseFile ? m_chooseFile() : QString();
    if (name.isEmpty()) return;
    // Before the first reading the logger's unit is not known yet: the
    // file takes the one the link reports with it.
    if (!m_recorder.open(name, m_model.value_or(m_linkModel).code, m_fahrenheit.value_or(m_linkFahrenheit))) {
        Messages::error(m_recorder.error());
        return;
    }
    btnRecord->setChecked(true);
    btnRecord->setText(QStringLiteral("Stop recording"));
    m_note.clear();
    refreshStatus();
}

bool TfrmRealTime::mayClose() {
    // Readings only in memory are asked about; recorded ones are in their file.
    m_closeAgreed =
        m_closeAgreed || m_unrecorded <= m_savedMark ||
        Messages::confirmDefaultNo(
            QStringLiteral("The Real Time Graph holds %1 readings that are in no file. Close it anyway?")
                .arg(m_unrecorded - m_savedMark));
    return m_closeAgreed;
}

void TfrmRealTime::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
        event->ignore();
        return;
    }
    m_recorder.close();
    event->accept();
}

} // namespace tq
