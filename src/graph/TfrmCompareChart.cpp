// The compare window's chart and statistics tables.

#include "TfrmCompare.h"

#include "Chart.h"
#include "CommandGuard.h"
#include "DateTime.h"
#include "ReadingMarks.h"
#include "Regional.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tq {

namespace {

// Told apart on screen and on a page; the chart's own palette starts with yellow.
QColor runColor(int i) {
    static const QColor palette[] = {QColor(220, 0, 0),   QColor(0, 70, 220),  QColor(0, 150, 0),
                                     QColor(200, 0, 200), QColor(230, 130, 0), QColor(0, 170, 170),
                                     QColor(120, 60, 20), QColor(0, 0, 110),   QColor(120, 120, 120),
                                     QColor(130, 130, 0)};
    return palette[i % int(sizeof(palette) / sizeof(palette[0]))];
}

const QColor kDifferenceColor(0, 0, 0);

// What a series shows when the run's own arrays will not do: its times
// moved, its values converted, or padded to the chart's point count
// (every series of a chart has as many points; the padding is a gap).
struct Shown {
    std::shared_ptr<const void> source;
    std::vector<double> x;
    std::vector<float> y;
};

void showSeries(Chart& chart, int subset, int points, TimeLine x, const float* y, int count, double off,
                const std::function<float(float)>& convert, std::shared_ptr<const void> owner) {
    if (count == points && off == 0.0 && !convert) {
        chart.shareData(subset, std::move(owner), x, y, points);
        return;
    }
    auto shown = std::make_shared<Shown>();
    shown->source = std::move(owner);
    TimeLine xs = x;
    if (count != points || off != 0.0) {
        shown->x.resize(size_t(points));
        for (int i = 0; i < count; ++i)
            shown->x[size_t(i)] = x[i] - off;
        for (int i = count; i < points; ++i)
            shown->x[size_t(i)] = count > 0 ? shown->x[size_t(count - 1)] : 0.0;
        xs = shown->x.data();
    }
    const float* ys = y;
    if (count != points || convert) {
        shown->y.assign(size_t(points), compare::kGap);
        for (int i = 0; i < count; ++i)
            shown->y[size_t(i)] = convert ? convert(y[i]) : y[i];
        ys = shown->y.data();
    }
    chart.shareData(subset, shown, xs, ys, points);
}

// Days since a start as h:mm:ss.
QString elapsedText(double days) {
    const qint64 s = std::llround(std::abs(days) * kSecondsPerDay);
    return QStringLiteral("%1%2:%3:%4")
        .arg(days < 0 ? QStringLiteral("-") : QString())
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString runLabel(const compare::Run& run, TemperatureUnit unit, const compare::TextFormats& formats) {
    QString label = run.label(formats);
    if (!run.unitKnown)
        label += QStringLiteral(" [unit not recorded, taken as %1]").arg(compare::unitText(run.unit));
    else if (run.unit != unit)
        label +=
            QStringLiteral(" [%1 shown as %2]").arg(compare::unitText(run.unit), compare::unitText(unit));
    return label;
}

} // namespace

void TfrmCompare::rebuild(bool resetCursors) {
    Chart& c = *PESGraph1;
    const compare::TextFormats formats = compare::TextFormats::regional(RegionalFormats());
    const int runs = int(m_runs.size());
    if (m_difference && (m_diffA >= runs || m_diffB >= runs)) m_difference.reset();
    if (m_difference)
        *m_difference =
            compare::difference(m_runs[size_t(m_diffA)], m_runs[size_t(m_diffB)], m_align, m_unit);
    chkDifference->setChecked(m_difference != nullptr);
    chkDifference->setEnabled(runs >= 2);
    btnRemove->setEnabled(runs > 0);

    int points = 0;
    for (const compare::Run& r : m_runs)
        points = std::max(points, r.count());
    const int subsets = runs + (m_difference ? 1 : 0);
    // Let go of the series shown so far first: resizing them would copy them.
    c.resetPoints();
    c.setSubsets(std::max(1, subsets));
    c.setPoints(0);
    c.setOutOfRangeLimitY(kOutOfRangeLimit);
    c.setPlottingMethod(Chart::PlottingMethod::Line);
    c.setGridStyle(Chart::GridStyle::Dot);
    c.setZooming(Chart::Zooming::HorzPlusVert);
    c.setElapsedTimeAxis(m_align == compare::Align::Elapsed);
    c.setXAxisLabel(m_align == compare::Align::Elapsed ? QStringLiteral("Time since each run's start (h:mm)")
                                                       : QStringLiteral("Time"));
    c.setMainTitle(QString());
    for (int i = 0; i < runs; ++i) {
        const compare::Run& r = m_runs[size_t(i)];
        std::function<float(float)> convert;
        if (r.unit != m_unit)
            convert = [from = r.unit, to = m_unit](float v) { return compare::displayValue(v, from, to); };
        showSeries(c, i, points, r.samples.times, r.samples.values, r.count(), compare::offset(r, m_align),
                   convert, r.samples.owner);
        c.setSubsetLabel(i, runLabel(r, m_unit, formats));
        c.setSubsetColor(i, runColor(i));
        // A thin line: ten runs stay apart, and it draws several times faster than a wide one.
        c.setSubsetLineType(i, 0);
    }
    if (m_difference) {
        const int n = int(m_difference->x.size());
        if (n > points) points = n; // never: A's readings are a run's
        showSeries(c, runs, points, m_difference->x.data(), m_difference->y.data(), n, 0.0, {}, nullptr);
        c.setSubsetLabel(runs, QStringLiteral("A - B (%1)").arg(compare::unitText(m_unit)));
        c.setSubsetColor(runs, kDifferenceColor);
        c.setSubsetLineType(runs, 0);
        c.setSubTitle(QStringLiteral("A = run %1, B = run %2; difference %3")
                          .arg(m_diffA + 1)
                          .arg(m_diffB + 1)
                          .arg(compare::methodText(m_difference->method)));
        c.setMultiAxesSubsets({runs, 1});
        c.setMultiAxesProportions({0.62, 0.38});
        c.setMultiAxesSeparators(true);
    } else {
        c.setSubTitle(runs
                          ? QStringLiteral(" ")
                          : QStringLiteral("No runs yet: Add File..., Add Data Sets or Add From Archive..."));
        c.setMultiAxesSubsets({});
        c.setMultiAxesProportions({1.0});
    }
    for (int a = 0; a < c.axisCount(); ++a) {
        c.setWorkingAxis(a);
        c.setAutoY();
        c.setYAxisLabel(a == 0 ? QStringLiteral("Temperature (%1)").arg(compare::unitText(m_unit))
                               : QStringLiteral("A - B (%1)").arg(compare::unitText(m_unit)));
    }
    c.setWorkingAxis(0);
    c.setValueBands({});
    if (m_limits.any()) {
        const QColor band(255, 120, 120, 40);
        QVector<Chart::ValueBand> bands;
        if (m_limits.high) bands.append({*m_limits.high, std::numeric_limits<double>::infinity(), band});
        if (m_limits.low) bands.append({-std::numeric_limits<double>::infinity(), *m_limits.low, band});
        c.setValueBands(bands);
    }

    c.setShowVertLineAnnotations(runs > 0);
    c.setAllowVertLineAnnotHotSpots(true);
    c.setVertLineType(1, Chart::LineCursor);
    c.setVertLineColor(1, QColor(0, 0, 255));
    c.setVertLineText(1, QStringLiteral("A"));
    c.setVertLineType(2, Chart::LineCursor);
    c.setVertLineColor(2, QColor(0, 160, 0));
    c.setVertLineText(2, QStringLiteral("B"));
    if (resetCursors && runs > 0) {
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        for (const compare::Run& r : m_runs) {
            const double off = compare::offset(r, m_align);
            lo = std::min(lo, r.start() - off);
            hi = std::max(hi, r.end() - off);
        }
        c.setVertLine(1, lo + (hi - lo) / 3.0);
        c.setVertLine(2, lo + 2.0 * (hi - lo) / 3.0);
    }
    // With no run the time axis shows today, not day 0 (30 Dec 1899).
    if (runs == 0 && m_align == compare::Align::Clock) {
        const double today = std::floor(nowDays());
        c.setManualX(today, today + 1.0);
    } else {
        c.setAutoX();
    }
    c.reinitAndReset();
    c.redraw();
    UndoZoom->setEnabled(false);
    // The figures of millions of readings take a moment: the chart is
    // shown first, the tables follow as soon as it is painted.
    if (!m_tablesDue)
        QTimer::singleShot(0, this, [this] {
            if (m_tablesDue) guarded([this] { refreshTables(); });
        });
    m_tablesDue = true;
}

void TfrmCompare::setCursors(double a, double b) {
    PESGraph1->setVertLine(1, a);
    PESGraph1->setVertLine(2, b);
    PESGraph1->invalidateImage();
    refreshCursorTable();
}

double TfrmCompare::cursorA() const {
    return PESGraph1->vertLine(1);
}

double TfrmCompare::cursorB() const {
    return PESGraph1->vertLine(2);
}

void TfrmCompare::refreshTables() {
    m_tablesDue = false;
    lblRuns->setText(QStringLiteral("Whole runs, in %1").arg(compare::unitText(m_unit)));
    fillTable(gridRuns, std::nullopt);
    refreshCursorTable();
    if (!m_difference) {
        lblDifference->hide();
        return;
    }
    const compare::TextFormats formats = compare::TextFormats::regional(RegionalFormats());
    const compare::Difference& d = *m_difference;
    QString text =
        QStringLiteral("<b>A - B</b>: A = %1, B = %2; %3. ")
            .arg(m_runs[size_t(m_diffA)].label(formats).toHtmlEscaped(),
                 m_runs[size_t(m_diffB)].label(formats).toHtmlEscaped(), compare::methodText(d.method));
    const int points = compare::figures(d).points;
    text += points == 0 ? QStringLiteral("The runs have no common times.")
                        : QStringLiteral("%1 differences.").arg(points);
    lblDifference->setText(text);
    lblDifference->show();
}

void TfrmCompare::refreshCursorTable() {
    const double a = cursorA(), b = cursorB();
    const double from = std::min(a, b), to = std::max(a, b);
    fillTable(gridCursor, std::pair{from, to});
    QString span;
    if (!m_runs.empty()) {
        const RegionalFormats formats;
        span = m_align == compare::Align::Clock
                   ? QStringLiteral(", %1 to %2").arg(formats.dateTime(from), formats.dateTime(to))
                   : QStringLiteral(", %1 to %2 since each start").arg(elapsedText(from), elapsedText(to));
    }
    lblCursor->setText(QStringLiteral("Between A and B%1, in %2").arg(span, compare::unitText(m_unit)));
}

void TfrmCompare::fillTable(QTableWidget* grid, std::optional<std::pair<double, double>> range) {
    const compare::TextFormats formats = compare::TextFormats::regional(RegionalFormats());
    const QStringList head = compare::header(m_limits);
    grid->clear();
    grid->setColumnCount(int(head.size()));
    grid->setHorizontalHeaderLabels(head);
    const int runs = int(m_runs.size());
    grid->setRowCount(runs + (m_difference ? 1 : 0));
    for (int i = 0; i < runs; ++i) {
        const compare::Run& run = m_runs[size_t(i)];
        const compare::Row row = compare::row(run, m_unit, m_limits, m_align, range);
        const QStringList cells = compare::cells(QStringLiteral("%1  %2").arg(i + 1).arg(run.label(formats)),
                                                 row, m_limits, formats);
        for (int col = 0; col < cells.size(); ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            if (col == 0) item->setForeground(runColor(i));
            grid->setItem(i, col, item);
        }
    }
    if (m_difference) {
        const QStringList cells =
            compare::differenceCells(QStringLiteral("A - B (%1 - %2)").arg(m_diffA + 1).arg(m_diffB + 1),
                                     compare::figures(*m_difference, range),
                                     compare::offset(m_runs[size_t(m_diffA)], m_align), m_limits, formats);
        for (int col = 0; col < cells.size(); ++col)
            grid->setItem(runs, col, new QTableWidgetItem(cells[col]));
    }
    grid->resizeColumnsToContents();
}

} // namespace tq
