#include "TfrmCompare.h"

#include "Chart.h"
#include "ChartExport.h"
#include "CommandGuard.h"
#include "DialogRunner.h"
#include "PrintCommands.h"
#include "Regional.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

namespace tq {

namespace {
template <class W> W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}
} // namespace

TfrmCompare::TfrmCompare(Sources sources, QWidget* parent) : QWidget(parent), m_sources(std::move(sources)) {
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Data Compare"));
    buildLayout();
    rebuild();
}

TfrmCompare::~TfrmCompare() = default;

void TfrmCompare::buildLayout() {
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 4);

    auto* bar = new QHBoxLayout;
    auto button = [&](const char* name, const QString& caption) {
        auto* b = named(new QPushButton(caption, this), name);
        bar->addWidget(b);
        return b;
    };
    auto addFrom = [&](const char* name, const QString& caption,
                       const std::function<std::vector<compare::Run>()>& source) {
        if (!source) return;
        connect(button(name, caption), &QPushButton::clicked, this,
                [this, source] { guarded([&] { addRuns(source()); }); });
    };
    addFrom("btnAddFile", QStringLiteral("Add File..."), m_sources.files);
    addFrom("btnAddDataSets", QStringLiteral("Add Data Sets"), m_sources.collection);
    addFrom("btnAddArchive", QStringLiteral("Add From Archive..."), m_sources.archive);
    btnRemove = button("btnRemove", QStringLiteral("Remove"));
    btnRemove->setToolTip(QStringLiteral("Remove the runs selected in the table"));
    connect(btnRemove, &QPushButton::clicked, this, [this] { guarded([this] { btnRemoveClick(); }); });
    bar->addSpacing(12);

    bar->addWidget(new QLabel(QStringLiteral("Align"), this));
    cmbAlign = named(new QComboBox(this), "cmbAlign");
    cmbAlign->addItems({QStringLiteral("By clock time"), QStringLiteral("By time since start")});
    bar->addWidget(cmbAlign);
    connect(cmbAlign, &QComboBox::activated, this, [this](int i) {
        guarded([&] { setAlign(i == 1 ? compare::Align::Elapsed : compare::Align::Clock); });
    });
    bar->addWidget(new QLabel(QStringLiteral("Unit"), this));
    cmbUnit = named(new QComboBox(this), "cmbUnit");
    cmbUnit->addItems({QStringLiteral("°C"), QStringLiteral("°F")});
    bar->addWidget(cmbUnit);
    connect(cmbUnit, &QComboBox::activated, this, [this](int i) {
        guarded([&] { setUnit(i == 1 ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius); });
    });
    chkDifference = named(new QCheckBox(QStringLiteral("Difference A - B"), this), "chkDifference");
    chkDifference->setToolTip(QStringLiteral("The two runs selected in the table, or the first two"));
    bar->addWidget(chkDifference);
    connect(chkDifference, &QCheckBox::clicked, this, [this] { guarded([this] { chkDifferenceClick(); }); });
    auto limit = [&](const char* name, const QString& caption) {
        bar->addWidget(new QLabel(caption, this));
        auto* e = named(new QLineEdit(this), name);
        e->setMaximumWidth(60);
        e->setPlaceholderText(QStringLiteral("none"));
        bar->addWidget(e);
        connect(e, &QLineEdit::editingFinished, this, [this] { guarded([this] { limitsChanged(); }); });
        return e;
    };
    txtLow = limit("txtLow", QStringLiteral("Low"));
    txtHigh = limit("txtHigh", QStringLiteral("High"));
    bar->addStretch(1);
    UndoZoom = button("UndoZoom", QStringLiteral("Undo Zoom"));
    UndoZoom->setEnabled(false);
    connect(button("btnExport", QStringLiteral("Export...")), &QPushButton::clicked, this,
            [this] { guarded([this] { btnExportClick(); }); });
    connect(button("btnPrint", QStringLiteral("Print...")), &QPushButton::clicked, this,
            [this] { guarded([this] { print(); }); });
    top->addLayout(bar);

    auto* split = named(new QSplitter(Qt::Vertical, this), "splitCompare");
    PESGraph1 = named(new Chart(split), "PESGraph1");
    PESGraph1->setMinimumHeight(220);
    auto* lower = new QWidget(split);
    auto* tables = new QVBoxLayout(lower);
    tables->setContentsMargins(0, 0, 0, 0);
    lblDifference = named(new QLabel(lower), "lblDifference");
    lblDifference->setWordWrap(true);
    lblDifference->hide();
    tables->addWidget(lblDifference);
    auto grid = [&](const char* name, QLabel*& heading) {
        heading = new QLabel(lower);
        tables->addWidget(heading);
        auto* g = named(new QTableWidget(lower), name);
        g->setEditTriggers(QAbstractItemView::NoEditTriggers);
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        g->verticalHeader()->hide();
        g->setWordWrap(false);
        g->horizontalHeader()->setStretchLastSection(true);
        tables->addWidget(g, 1);
        return g;
    };
    gridRuns = grid("gridRuns", lblRuns);
    gridRuns->setSelectionMode(QAbstractItemView::ExtendedSelection);
    gridCursor = grid("gridCursor", lblCursor);
    gridCursor->setSelectionMode(QAbstractItemView::NoSelection);
    // The chart has the room; the tables are a few rows each.
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setSizes({520, 300});
    top->addWidget(split, 1);

    Chart& c = *PESGraph1;
    connect(&c, &Chart::zoomIn, this, [this] { UndoZoom->setEnabled(true); });
    connect(UndoZoom, &QPushButton::clicked, this, [this] {
        PESGraph1->undoZoom();
        UndoZoom->setEnabled(false);
    });
    // Cursors are dragged freely: they cross every run, whose readings need not meet.
    connect(&c, &Chart::vertLineAnnotHotSpot, this, [this](bool, int index) {
        if (index == 1 || index == 2) m_dragged = index;
    });
    connect(&c, &Chart::mouseMoved, this, [this] {
        if (!m_dragged) return;
        const QPoint p = PESGraph1->lastMousePos();
        if (!PESGraph1->plotRect().contains(p)) return;
        PESGraph1->setVertLine(m_dragged, PESGraph1->pixelToValue(p).x());
        PESGraph1->invalidateImage();
    });
    connect(&c, &Chart::mouseReleased, this, [this] {
        if (!m_dragged) return;
        m_dragged = 0;
        guarded([this] { refreshCursorTable(); });
    });
    resize(1100, 720);
}

void TfrmCompare::addRuns(const std::vector<compare::Run>& runs) {
    if (runs.empty()) return;
    for (const compare::Run& r : runs)
        if (r.count() > 0) m_runs.push_back(r);
    // The unit most runs were recorded in is the first one shown.
    if (m_runs.size() == runs.size()) {
        int f = 0;
        for (const compare::Run& r : m_runs)
            f += r.unit == TemperatureUnit::Fahrenheit ? 1 : -1;
        m_unit = f > 0 ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
        cmbUnit->setCurrentIndex(f > 0 ? 1 : 0);
    }
    rebuild();
}

void TfrmCompare::removeRun(int index) {
    if (index < 0 || index >= int(m_runs.size())) return;
    m_runs.erase(m_runs.begin() + index);
    if (index == m_diffA || index == m_diffB) m_difference.reset();
    m_diffA -= m_diffA > index ? 1 : 0;
    m_diffB -= m_diffB > index ? 1 : 0;
    rebuild();
}

void TfrmCompare::btnRemoveClick() {
    QList<int> rows;
    for (const QModelIndex& i : gridRuns->selectionModel()->selectedRows())
        if (i.row() < int(m_runs.size())) rows << i.row();
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (const int r : rows)
        removeRun(r);
}

void TfrmCompare::setAlign(compare::Align align) {
    m_align = align;
    cmbAlign->setCurrentIndex(align == compare::Align::Elapsed ? 1 : 0);
    rebuild();
}

void TfrmCompare::setUnit(TemperatureUnit unit) {
    cmbUnit->setCurrentIndex(unit == TemperatureUnit::Fahrenheit ? 1 : 0);
    // Limits typed in one unit mean the same temperature in the other.
    for (std::optional<double>* l : {&m_limits.low, &m_limits.high})
        if (*l) **l = std::round(double(compare::displayValue(float(**l), m_unit, unit)) * 10.0) / 10.0;
    m_unit = unit;
    const RegionalFormats formats;
    txtLow->setText(m_limits.low ? formats.value(*m_limits.low, 1) : QString());
    txtHigh->setText(m_limits.high ? formats.value(*m_limits.high, 1) : QString());
    rebuild(false);
}

void TfrmCompare::setDifference(bool on, int a, int b) {
    const int n = int(m_runs.size());
    on = on && a >= 0 && b >= 0 && a < n && b < n && a != b;
    m_diffA = a;
    m_diffB = b;
    chkDifference->setChecked(on);
    if (!on)
        m_difference.reset();
    else
        m_difference = std::make_unique<compare::Difference>();
    rebuild(false);
}

void TfrmCompare::differencePair(int& a, int& b) const {
    a = 0;
    b = 1;
    QList<int> rows;
    for (const QModelIndex& i : gridRuns->selectionModel()->selectedRows())
        if (i.row() < int(m_runs.size())) rows << i.row();
    std::sort(rows.begin(), rows.end());
    if (rows.size() == 2) {
        a = rows[0];
        b = rows[1];
    }
}

void TfrmCompare::chkDifferenceClick() {
    int a = 0, b = 1;
    differencePair(a, b);
    setDifference(chkDifference->isChecked(), a, b);
}

void TfrmCompare::setLimits(const RunLimits& limits) {
    m_limits = limits;
    const RegionalFormats formats;
    txtLow->setText(limits.low ? formats.value(*limits.low, 1) : QString());
    txtHigh->setText(limits.high ? formats.value(*limits.high, 1) : QString());
    rebuild(false);
}

void TfrmCompare::limitsChanged() {
    const RegionalFormats formats;
    RunLimits limits;
    for (auto [edit, limit] : {std::pair{txtLow, &limits.low}, std::pair{txtHigh, &limits.high}}) {
        double v = 0.0;
        if (!edit->text().trimmed().isEmpty() && formats.parseValue(edit->text(), v)) *limit = v;
    }
    if (limits.low != m_limits.low || limits.high != m_limits.high) setLimits(limits);
}

Outcome TfrmCompare::exportTo(const QString& fileName) {
    if (QFileInfo(fileName).suffix().toLower() == QLatin1String("csv"))
        return compare::writeWideCsvFile(fileName, m_runs, m_align, m_unit, m_difference.get(),
                                         compare::TextFormats::regional(RegionalFormats()));
    chartexport::Format format = chartexport::Format::Png;
    if (!chartexport::formatOf(fileName, format))
        return Outcome::fail(
            Outcome::Code::BadInput,
            QStringLiteral("%1: export writes .png, .svg, .pdf or .csv files").arg(fileName));
    return chartexport::write(*PESGraph1, fileName, format, chartexport::kDefaultSize);
}

void TfrmCompare::btnExportClick() {
    if (!m_sources.exportFileName) return;
    const QString name = m_sources.exportFileName();
    if (!name.isEmpty()) reported(exportTo(name));
}

void TfrmCompare::print() {
    printChartInColour(*PESGraph1, window());
}

} // namespace tq
