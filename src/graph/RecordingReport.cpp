#include "RecordingReport.h"

#include "Chart.h"
#include "CommandGuard.h"
#include "FileAccess.h"
#include "Regional.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace tq::report {

namespace {

// The page is laid out in pixels at 96 to the inch; text stays text.
constexpr int kDpi = 96;
constexpr double kMargin = 56.0;
constexpr double kLine = 17.0;
constexpr double kTableLine = 14.5;
constexpr int kMaxTableGroups = 4;
constexpr double kGraphHeight = 360.0;
const QColor kBeyondHigh(230, 40, 40, 50);
const QColor kBeyondLow(40, 90, 230, 50);

const QLocale::Territory kLetterTerritories[] = {
    QLocale::UnitedStates, QLocale::Canada,      QLocale::Mexico,
    QLocale::PuertoRico,   QLocale::Philippines, QLocale::Chile,
    QLocale::Colombia,     QLocale::Venezuela,   QLocale::Guatemala,
    QLocale::CostaRica,    QLocale::Panama,      QLocale::ElSalvador,
    QLocale::Nicaragua,    QLocale::Honduras,    QLocale::DominicanRepublic,
};

QFont font(double points, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    // No ligatures: "first" must be found and copied from the PDF as the
    // letters f and i.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// Where the columns of the sample table start within a group of columns,
// measured on the widest texts of the locale, and how many groups fit.
struct TableLayout {
    double columns[4] = {0, 0, 0, 0}; // No, date, time, value
    double groupWidth = 0;
    int groups = 1;
};

// The texts of one report, in the report's regional formats.
class Texts {
  public:
    Texts(const Run& run, const Options& options) : m_run(run), m_formats(options.locale) {}
    QString value(double v, int decimals = 1) const { return m_formats.value(v, decimals) + unit(); }
    QString number(double v, int decimals) const { return m_formats.value(v, decimals); }
    QString unit() const { return QStringLiteral(" ") + unitText(m_run.unit); }
    QString when(TDateTime t) const { return m_formats.dateTime(t); }
    QString date(TDateTime t) const { return m_formats.date(t); }
    QString time(TDateTime t) const { return m_formats.time(t); }
    QString sample(float v) const { return isReading(v) ? m_formats.value(v, 1) : QStringLiteral("OL"); }

    TableLayout table(const QFont& font, double width) const {
        const QFontMetricsF fm(font);
        // A date and a time whose texts are as long as any.
        const TDateTime wide = toDays(QDate(2024, 12, 28), QTime(23, 59, 58));
        const TDateTime early = toDays(QDate(2024, 12, 28), QTime(10, 59, 58));
        const double gap = fm.horizontalAdvance(QStringLiteral("00"));
        TableLayout t;
        t.columns[1] = fm.horizontalAdvance(QStringLiteral("99999")) + gap;
        t.columns[2] =
            t.columns[1] +
            std::max(fm.horizontalAdvance(date(wide)), fm.horizontalAdvance(QStringLiteral("Date"))) +
            gap / 2;
        t.columns[3] = t.columns[2] +
                       std::max(fm.horizontalAdvance(time(wide)), fm.horizontalAdvance(time(early))) +
                       gap / 2;
        const double needed =
            t.columns[3] + fm.horizontalAdvance(m_formats.value(-1999.9, 1) + QStringLiteral(" *")) + gap;
        t.groups = std::clamp(int(width / needed), 1, kMaxTableGroups);
        t.groupWidth = width / t.groups;
        return t;
    }

  private:
    const Run& m_run;
    RegionalFormats m_formats;
};

struct Row {
    QString label;
    QString value;
};

class Page {
  public:
    Page(QPainter& p, const QSizeF& size) : m_p(p), m_size(size), m_y(kMargin) {}
    double width() const { return m_size.width() - 2 * kMargin; }
    double y() const { return m_y; }
    void skip(double dy) { m_y += dy; }

    void title(const QString& text, const QString& sub) {
        m_p.setFont(font(16, true));
        m_p.setPen(Qt::black);
        m_p.drawText(QPointF(kMargin, m_y + 20), text);
        m_y += 30;
        m_p.setFont(font(9));
        m_p.setPen(QColor(70, 70, 70));
        m_p.drawText(QRectF(kMargin, m_y, width(), kLine), Qt::AlignLeft | Qt::AlignVCenter, sub);
        m_y += kLine + 6;
        m_p.setPen(QPen(QColor(150, 150, 150), 1));
        m_p.drawLine(QPointF(kMargin, m_y), QPointF(kMargin + width(), m_y));
        m_y += 10;
    }
    void heading(const QString& text) {
        m_y += 6;
        m_p.setFont(font(11, true));
        m_p.setPen(QColor(20, 40, 90));
        m_p.drawText(QRectF(kMargin, m_y, width(), 20), Qt::AlignLeft | Qt::AlignVCenter, text);
        m_y += 22;
    }
    void rows(const QList<Row>& rows, const QColor& valueColor = Qt::black) {
        m_p.setFont(font(9.5));
        for (const Row& r : rows) {
            m_p.setPen(QColor(60, 60, 60));
            m_p.drawText(QRectF(kMargin + 8, m_y, 190, kLine), Qt::AlignLeft | Qt::AlignVCenter, r.label);
            m_p.setPen(valueColor);
            m_p.drawText(QRectF(kMargin + 200, m_y, width() - 200, kLine), Qt::AlignLeft | Qt::AlignVCenter,
                         r.value);
            m_y += kLine;
        }
    }
    void verdict(const QString& text, bool good) {
        m_y += 4;
        const QRectF box(kMargin, m_y, width(), 26);
        m_p.setPen(QPen(good ? QColor(30, 120, 50) : QColor(180, 30, 30), 1.5));
        m_p.setBrush(good ? QColor(225, 245, 228) : QColor(250, 225, 225));
        m_p.drawRect(box);
        m_p.setBrush(Qt::NoBrush);
        m_p.setFont(font(10.5, true));
        m_p.drawText(box.adjusted(8, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
        m_y += 30;
    }
    void footer(const QString& left, int page, int pages) {
        m_p.setFont(font(8));
        m_p.setPen(QColor(90, 90, 90));
        const QRectF line(kMargin, m_size.height() - kMargin + 14, width(), kLine);
        m_p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, left);
        m_p.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Page %1 of %2").arg(page).arg(pages));
    }
    double bottom() const { return m_size.height() - kMargin; }
    QPainter& painter() { return m_p; }

  private:
    QPainter& m_p;
    QSizeF m_size;
    double m_y;
};

QString limitText(const std::optional<double>& limit, const Texts& t) {
    return limit ? t.value(*limit) : QStringLiteral("none");
}

QList<Row> excursionRows(const char* side, const Excursions& e, const Texts& t) {
    const QString s = QLatin1String(side);
    QList<Row> rows{{QStringLiteral("Excursions ") + s, QString::number(e.count)},
                    {QStringLiteral("Time ") + s,
                     durationText(e.secondsBeyond) + QStringLiteral(" (%1 readings)").arg(e.samplesBeyond)}};
    if (e.firstStart)
        rows << Row{QStringLiteral("First excursion ") + s,
                    t.when(*e.firstStart) + QStringLiteral(", ") + durationText(e.firstSeconds)};
    return rows;
}

QString verdictText(const RunFigures& f, const RunLimits& limits, const Texts& t, bool& good) {
    good = f.withinLimits();
    if (!good) {
        QStringList parts;
        if (f.above.count)
            parts << QStringLiteral("%1 above %2").arg(f.above.count).arg(t.value(*limits.high));
        if (f.below.count)
            parts << QStringLiteral("%1 below %2").arg(f.below.count).arg(t.value(*limits.low));
        return QStringLiteral("Outside the limits: ") + parts.join(QStringLiteral(", ")) +
               QStringLiteral(" (excursions).");
    }
    if (f.readings == 0) {
        good = false;
        return QStringLiteral("Not checked: the run holds no reading.");
    }
    if (f.outOfRange > 0) {
        good = false;
        return QStringLiteral("Within the limits where measured; %1 out-of-range readings (OL) not checked.")
            .arg(f.outOfRange);
    }
    return QStringLiteral("Within the limits.");
}

} // namespace

QPageSize pageSizeFor(const QLocale& locale) {
    for (const QLocale::Territory t : kLetterTerritories)
        if (locale.territory() == t) return QPageSize(QPageSize::Letter);
    return QPageSize(QPageSize::A4);
}

QString durationText(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    const qint64 total = qint64(std::llround(std::min(seconds, 1e15)));
    const qint64 days = total / 86400;
    const qint64 rest = total % 86400;
    const QString hms = QStringLiteral("%1:%2:%3")
                            .arg(rest / 3600, 2, 10, QLatin1Char('0'))
                            .arg(rest / 60 % 60, 2, 10, QLatin1Char('0'))
                            .arg(rest % 60, 2, 10, QLatin1Char('0'));
    return days > 0 ? QStringLiteral("%1 d ").arg(days) + hms : hms;
}

QString unitText(TemperatureUnit unit) {
    return unit == TemperatureUnit::Fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C");
}

QString checkOptions(const Options& o) {
    const auto finite = [](const std::optional<double>& v) { return !v || std::isfinite(*v); };
    if (!finite(o.limits.low) || !finite(o.limits.high)) return QStringLiteral("A limit is not a number.");
    if (o.limits.low && o.limits.high && *o.limits.low > *o.limits.high)
        return QStringLiteral("The low limit is above the high limit.");
    if (!(o.activationEnergyKJ > 0.0) || !std::isfinite(o.activationEnergyKJ) ||
        o.activationEnergyKJ > 1000.0)
        return QStringLiteral("The activation energy must be above 0 and at most 1000 kJ/mol.");
    return QString();
}

void prepareChart(Chart& chart, const RunLimits& limits) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    QVector<Chart::ValueBand> bands;
    if (limits.high) bands.append({*limits.high, inf, kBeyondHigh});
    if (limits.low) bands.append({-inf, *limits.low, kBeyondLow});
    chart.setValueBands(bands);
    chart.setShowVertLineAnnotations(false);
    chart.redraw();
}

Result<int> write(const QString& fileName, const Run& run, const Options& options, Chart* chart) {
    const QString name = shownName(fileName);
    if (const QString problem = checkOptions(options); !problem.isEmpty())
        return Outcome::fail(Outcome::Code::BadInput, name + QStringLiteral(" was not written: ") + problem);
    const RunFigures f = runFigures(run.times, run.values, run.intervalSeconds, run.unit, options.limits,
                                    options.activationEnergyKJ);
    const Texts t(run, options);

    const auto failed = [](const QString& text) { return Outcome::fail(Outcome::Code::CannotWrite, text); };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failed(QStringLiteral("Cannot create %1: %2").arg(name, file.errorString()));
    QPdfWriter pdf(&file);
    pdf.setResolution(kDpi);
    pdf.setPageSize(pageSizeFor(options.locale));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(QStringLiteral("Recording report: ") + QFileInfo(run.source).fileName());
    pdf.setCreator(QStringLiteral("TQ880"));
    const QSizeF pageSize = pdf.pageLayout().fullRectPixels(kDpi).size();

    // The sample table: groups of columns side by side, as many rows as fit.
    const double tableTop = kMargin + 40;
    const int rowsPerGroup = std::max(1, int((pageSize.height() - kMargin - tableTop) / kTableLine));
    const QFont tableFont = font(7.5);
    const TableLayout layout = t.table(tableFont, pageSize.width() - 2 * kMargin);
    const qint64 perPage = qint64(rowsPerGroup) * layout.groups;
    const qint64 samples = qint64(run.values.size());
    const int tablePages = options.table && samples > 0 ? int((samples + perPage - 1) / perPage) : 0;
    const int pages = 1 + tablePages;

    QPainter painter;
    if (!painter.begin(&pdf))
        return failed(QStringLiteral("Cannot write %1: the PDF could not be started.").arg(name));
    const QString footer =
        QStringLiteral("TQ880 recording report") +
        (options.createdText.isEmpty() ? QString() : QStringLiteral(", ") + options.createdText);

    Page first(painter, pageSize);
    QString sub = QFileInfo(run.source).fileName();
    if (run.dataSet > 0) sub += QStringLiteral(", data set %1").arg(run.dataSet);
    first.title(QStringLiteral("Recording report"), sub);

    first.heading(QStringLiteral("Run"));
    const bool any = samples > 0;
    const QString none = QStringLiteral("-");
    QList<Row> runRows{
        {QStringLiteral("Logger model"),
         run.model ? QString::number(run.model->code) : QStringLiteral("not recorded in the file")},
        {QStringLiteral("Data set"), run.dataSet > 0 ? QString::number(run.dataSet) : none},
        {QStringLiteral("First sample"), any ? t.when(run.times.front()) : none},
        {QStringLiteral("Last sample"), any ? t.when(run.times.back()) : none},
        {QStringLiteral("Interval"),
         QStringLiteral("%1 s (%2)").arg(run.intervalSeconds).arg(durationText(run.intervalSeconds))},
        {QStringLiteral("Samples"), QString::number(samples)},
        {QStringLiteral("Duration"),
         any ? durationText((run.times.back() - run.times.front()) * kSecondsPerDay) : none},
        {QStringLiteral("Unit"),
         unitText(run.unit) + (run.unitRecorded ? QString() : QStringLiteral(" (given, not recorded)"))},
    };
    // Evidence that these are the readings the archive keeps.
    if (run.archiveId > 0)
        runRows << Row{QStringLiteral("Archive id"), QString::number(run.archiveId)}
                << Row{QStringLiteral("SHA-256 of the readings"), run.readingsSha256};
    first.rows(runRows);

    first.heading(QStringLiteral("Statistics"));
    const bool readings = f.readings > 0;
    QList<Row> stats{
        {QStringLiteral("Maximum"),
         readings ? t.value(f.max) + QStringLiteral(" at ") + t.when(f.maxTime) : none},
        {QStringLiteral("Minimum"),
         readings ? t.value(f.min) + QStringLiteral(" at ") + t.when(f.minTime) : none},
        {QStringLiteral("Average"), readings ? t.value(f.average, 2) : none},
        {QStringLiteral("Mean kinetic temperature"),
         f.mkt.value ? t.value(*f.mkt.value, 2) + QStringLiteral(" (activation energy %1 kJ/mol)")
                                                      .arg(t.number(options.activationEnergyKJ, 3))
                     : none},
        {QStringLiteral("Readings"), QString::number(f.readings)},
        {QStringLiteral("Out of range (OL)"),
         f.outOfRange ? QStringLiteral("%1, first at %2, left out of every figure")
                            .arg(f.outOfRange)
                            .arg(t.when(*f.firstOutOfRange))
                      : QStringLiteral("0")},
    };
    if (f.mkt.leftOut > f.outOfRange)
        stats << Row{QStringLiteral("Left out of the MKT"),
                     QStringLiteral("%1 (at or below absolute zero)").arg(f.mkt.leftOut - f.outOfRange)};
    first.rows(stats);

    if (options.limits.any()) {
        first.heading(QStringLiteral("Limits"));
        QList<Row> rows{{QStringLiteral("Low limit"), limitText(options.limits.low, t)},
                        {QStringLiteral("High limit"), limitText(options.limits.high, t)}};
        if (options.limits.low) rows << excursionRows("below", f.below, t);
        if (options.limits.high) rows << excursionRows("above", f.above, t);
        first.rows(rows);
        bool good = false;
        const QString verdict = verdictText(f, options.limits, t, good);
        first.verdict(verdict, good);
    }

    if (options.graph && chart) {
        first.heading(QStringLiteral("Graph"));
        const double height = std::min(kGraphHeight, first.bottom() - first.y());
        if (height > 120) {
            const QRectF target(kMargin, first.y(), first.width(), height);
            chart->render(painter, target, target.size().toSize());
            painter.setPen(QPen(QColor(170, 170, 170), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(target);
            first.skip(height);
        }
    }
    first.footer(footer, 1, pages);

    const double* columns = layout.columns;
    for (int p = 0; p < tablePages; ++p) {
        if (!pdf.newPage())
            return failed(QStringLiteral("Cannot write %1: no new page could be started.").arg(name));
        Page page(painter, pageSize);
        painter.setFont(font(11, true));
        painter.setPen(QColor(20, 40, 90));
        painter.drawText(QPointF(kMargin, kMargin + 16), QStringLiteral("Samples (%1)").arg(sub) +
                                                             QStringLiteral(", values in ") +
                                                             unitText(run.unit));
        painter.setFont(tableFont);
        const qint64 from = qint64(p) * perPage;
        for (int g = 0; g < layout.groups; ++g) {
            const double x = kMargin + g * layout.groupWidth;
            painter.setPen(QColor(60, 60, 60));
            const QStringList heads{QStringLiteral("No"), QStringLiteral("Date"), QStringLiteral("Time"),
                                    QStringLiteral("Value")};
            for (int c = 0; c < 4; ++c)
                painter.drawText(QRectF(x + columns[c], tableTop - kTableLine, layout.groupWidth, kTableLine),
                                 Qt::AlignLeft | Qt::AlignVCenter, heads[c]);
            for (int r = 0; r < rowsPerGroup; ++r) {
                const qint64 i = from + qint64(g) * rowsPerGroup + r;
                if (i >= samples) break;
                const float v = run.values[size_t(i)];
                const bool beyond =
                    isReading(v) && ((options.limits.high && v > float(*options.limits.high)) ||
                                     (options.limits.low && v < float(*options.limits.low)));
                painter.setPen(beyond ? QColor(190, 20, 20)
                                      : (isReading(v) ? Qt::black : QColor(120, 120, 120)));
                const double y = tableTop + r * kTableLine;
                const TDateTime when = run.times[size_t(i)];
                const QString cells[] = {QString::number(i + 1), t.date(when), t.time(when),
                                         t.sample(v) + (beyond ? QStringLiteral(" *") : QString())};
                for (int c = 0; c < 4; ++c)
                    painter.drawText(QRectF(x + columns[c], y, layout.groupWidth, kTableLine),
                                     Qt::AlignLeft | Qt::AlignVCenter, cells[c]);
            }
        }
        page.footer(footer + (options.limits.any() ? QStringLiteral("; * beyond a limit") : QString()), p + 2,
                    pages);
    }
    if (!painter.end())
        return failed(QStringLiteral("Cannot write %1: the PDF could not be finished.").arg(name));
    if (!file.commit()) return failed(QStringLiteral("Cannot write %1: %2").arg(name, file.errorString()));
    return pages;
}

} // namespace tq::report
