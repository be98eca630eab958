#include "TfrmArchive.h"

#include "Archive.h"
#include "ArchiveTableModel.h"
#include "Chart.h"
#include "CommandGuard.h"
#include "CompareCommand.h"
#include "DataLoggerWindow.h"
#include "DataSetChart.h"
#include "DataSetCollection.h"
#include "DrawnIcon.h"
#include "GraphRun.h"
#include "Messages.h"
#include "ProgramArchive.h"
#include "TfrmGraph.h"
#include "WorkArea.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

namespace tq {

namespace {
const QString kTitle = QStringLiteral("Archive");

// A filing box: a lid over a box with a handle.
QIcon archiveIcon() {
    return drawnIcon(
        [](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(60, 60, 60), 1.2));
            p.setBrush(QColor(222, 184, 120));
            p.drawRect(QRectF(4, 9, 16, 11));
            p.setBrush(QColor(196, 150, 86));
            p.drawRect(QRectF(3, 5, 18, 4));
            p.drawLine(QPointF(9, 13), QPointF(15, 13));
        },
        24);
}

QPointer<TfrmArchive>& theWindow() {
    static QPointer<TfrmArchive> window;
    return window;
}
} // namespace

TfrmArchive::TfrmArchive(CommandContext context, QWidget* parent)
    : QWidget(parent), m_context(std::move(context)), m_model(new ArchiveTableModel(this)),
      m_filter(new ArchiveFilter(this)) {
    setObjectName(QStringLiteral("frmArchive"));
    setWindowTitle(kTitle);
    m_filter->setSourceModel(m_model);
    buildLayout();
    reload();
}

void TfrmArchive::buildLayout() {
    auto* top = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    chkDates = new QCheckBox(QStringLiteral("From"), this);
    chkDates->setObjectName(QStringLiteral("chkDates"));
    dtFrom = new QDateEdit(QDate::currentDate().addMonths(-1), this);
    dtFrom->setObjectName(QStringLiteral("dtFrom"));
    dtTo = new QDateEdit(QDate::currentDate(), this);
    dtTo->setObjectName(QStringLiteral("dtTo"));
    for (QDateEdit* d : {dtFrom, dtTo})
        d->setCalendarPopup(true);
    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(QStringLiteral("Filter"));
    txtFilter->setClearButtonEnabled(true);
    filters->addWidget(chkDates);
    filters->addWidget(dtFrom);
    filters->addWidget(new QLabel(QStringLiteral("to"), this));
    filters->addWidget(dtTo);
    filters->addWidget(txtFilter, 1);
    top->addLayout(filters);

    gridRuns = new QTableView(this);
    gridRuns->setObjectName(QStringLiteral("gridRuns"));
    gridRuns->setModel(m_filter);
    gridRuns->setSortingEnabled(true);
    gridRuns->sortByColumn(ArchiveTableModel::Start, Qt::DescendingOrder);
    gridRuns->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridRuns->setSelectionMode(QAbstractItemView::ExtendedSelection);
    gridRuns->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
    gridRuns->horizontalHeader()->setStretchLastSection(true);
    gridRuns->verticalHeader()->hide();
    gridRuns->setWordWrap(false);
    top->addWidget(gridRuns, 1);

    auto* buttons = new QHBoxLayout;
    auto button = [&](QPushButton*& b, const char* name, const QString& caption) {
        b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
    };
    button(btnOpen, "btnOpen", QStringLiteral("Open"));
    button(btnCompare, "btnCompare", QStringLiteral("Compare"));
    btnCompare->setToolTip(QStringLiteral("The selected runs in one chart"));
    button(btnDelete, "btnDelete", QStringLiteral("Delete"));
    button(btnUndo, "btnUndo", QStringLiteral("Undo Delete"));
    buttons->addStretch(1);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    buttons->addWidget(lblStatus);
    top->addLayout(buttons);

    auto* where = new QHBoxLayout;
    where->addWidget(new QLabel(QStringLiteral("Archive:"), this));
    txtArchive = new QLineEdit(programarchive::url(), this);
    txtArchive->setObjectName(QStringLiteral("txtArchive"));
    txtArchive->setToolTip(QStringLiteral("A file, or postgresql://user@host[:port]/database"));
    where->addWidget(txtArchive, 1);
    button(btnUseArchive, "btnUseArchive", QStringLiteral("Use"));
    where->addWidget(btnUseArchive);
    top->addLayout(where);

    connect(chkDates, &QCheckBox::toggled, this, [this] { applyFilter(); });
    connect(dtFrom, &QDateEdit::dateChanged, this, [this] { applyFilter(); });
    connect(dtTo, &QDateEdit::dateChanged, this, [this] { applyFilter(); });
    connect(txtFilter, &QLineEdit::textChanged, this, [this] { applyFilter(); });
    connect(btnOpen, &QPushButton::clicked, this, [this] { guarded([this] { btnOpenClick(); }); });
    connect(btnCompare, &QPushButton::clicked, this, [this] { guarded([this] { btnCompareClick(); }); });
    connect(gridRuns, &QTableView::activated, this, [this] { guarded([this] { btnOpenClick(); }); });
    connect(btnDelete, &QPushButton::clicked, this, [this] { guarded([this] { btnDeleteClick(); }); });
    connect(btnUndo, &QPushButton::clicked, this, [this] { guarded([this] { btnUndoClick(); }); });
    connect(btnUseArchive, &QPushButton::clicked, this,
            [this] { guarded([this] { btnUseArchiveClick(); }); });
    resize(900, 420);
}

TfrmArchive* TfrmArchive::instance() {
    return theWindow();
}

namespace {
constexpr int kPreferredWidth = 1400;
}

TfrmArchive* TfrmArchive::showArchive(const CommandContext& context) {
    if (TfrmArchive* w = theWindow()) {
        w->reload();
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) {
            sub->showNormal();
            if (context.area) context.area->setActiveSubWindow(sub);
        }
        return w;
    }
    auto* w = new TfrmArchive(context);
    theWindow() = w;
    if (context.area) {
        // A list of runs wants the room: every column, and dozens of rows.
        addAreaWindow(context.area, w, kPreferredWidth, false);
    } else {
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
    }
    return w;
}

void TfrmArchive::reload() {
    Archive* archive = programarchive::archive();
    std::vector<ArchivedRun> runs;
    if (!archive) {
        m_model->setRuns({}, nullptr);
        lblStatus->setText(QStringLiteral("The archive cannot be opened."));
    } else if (!archive->list(runs)) {
        m_model->setRuns({}, nullptr);
        lblStatus->setText(archive->lastError());
    } else {
        m_model->setRuns(std::move(runs), archive);
    }
    applyFilter();
    gridRuns->resizeColumnsToContents();
    btnUndo->setEnabled(programarchive::canUndo());
}

void TfrmArchive::applyFilter() {
    if (chkDates->isChecked())
        m_filter->setDateRange(dtFrom->date(), dtTo->date());
    else
        m_filter->setDateRange({}, {});
    m_filter->setText(txtFilter->text());
    if (programarchive::archive())
        lblStatus->setText(
            QStringLiteral("%1 of %2 runs").arg(m_filter->rowCount()).arg(m_model->rowCount()));
}

std::vector<qint64> TfrmArchive::selectedIds() const {
    QModelIndexList rows = gridRuns->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<qint64> ids;
    for (const QModelIndex& i : rows)
        ids.push_back(i.data(ArchiveTableModel::IdRole).toLongLong());
    return ids;
}

TfrmGraph* TfrmArchive::openRun(qint64 id) {
    Archive* archive = programarchive::archive();
    ArchivedRun listed;
    RunReadings run;
    if (!archive || !archive->find(id, listed) || !archive->readings(id, run)) {
        Messages::error(archive ? archive->lastError() : QStringLiteral("The archive cannot be opened."),
                        kTitle);
        return nullptr;
    }
    // Handed to the chart to keep, not copied: a run can hold millions of readings.
    const auto samples = archiverun::sharedSamplesOf(run);
    const DataSet set = archiverun::dataSetOf(run);
    SampleSlice slice;
    if (!samples->values.empty())
        slice = {samples->values.data(), samples->times.data(), int(samples->values.size()), samples};
    // A run from an opened file names no model (0); reading it refused any
    // other code no model has.
    const std::optional<LoggerModel> recorded = findLoggerModel(listed.model);
    auto* window = new TfrmGraph(recorded ? *recorded : m_context.model());
    window->setProperty(kArchiveRunProperty, id);
    window->setWindowTitle(listed.name.isEmpty()
                               ? QStringLiteral("Archive run %1").arg(id)
                               : QStringLiteral("Archive run %1 - %2").arg(id).arg(listed.name));
    if (m_context.area)
        addGraphWindow(m_context.area, window, true);
    else
        window->setAttribute(Qt::WA_DeleteOnClose);
    prepareDataSetChart(*window->chart(), set, slice, window->model());
    window->showLoadedFile();
    return window;
}

void TfrmArchive::btnOpenClick() {
    for (qint64 id : selectedIds())
        if (!openRun(id)) return;
}

void TfrmArchive::btnCompareClick() {
    const std::vector<qint64> ids = selectedIds();
    if (!ids.empty()) comparecommand::open(m_context, comparecommand::archiveRuns(ids));
}

void TfrmArchive::btnDeleteClick() {
    const std::vector<qint64> ids = selectedIds();
    Archive* archive = programarchive::archive();
    if (ids.empty() || !archive) return;
    const QString what = ids.size() == 1 ? QStringLiteral("the selected run")
                                         : QStringLiteral("the %1 selected runs").arg(ids.size());
    if (!Messages::confirm(
            QStringLiteral("Delete %1 from the archive?\n\nUndo Delete brings %2 back until the "
                           "program ends.")
                .arg(what, ids.size() == 1 ? QStringLiteral("it") : QStringLiteral("them")),
            kTitle))
        return;
    std::vector<qint64> done;
    for (qint64 id : ids) {
        if (!archive->setDeleted(id, true)) {
            Messages::error(archive->lastError(), kTitle);
            break;
        }
        done.push_back(id);
    }
    programarchive::deleted(done);
    reload();
}

void TfrmArchive::btnUndoClick() {
    if (!programarchive::undoDelete()) {
        if (Archive* a = programarchive::archive()) Messages::error(a->lastError(), kTitle);
    }
    reload();
}

void TfrmArchive::btnUseArchiveClick() {
    const QString url = txtArchive->text().trimmed();
    if (url.isEmpty() || url == programarchive::url()) return;
    if (const Outcome switched = programarchive::switchTo(url); !switched.ok()) {
        Messages::error(switched.text, kTitle);
        txtArchive->setText(programarchive::url());
        return;
    }
    reload();
}

void addArchiveCommand(QMainWindow* main, const CommandContext& context) {
    auto show = [context] { guarded([&] { TfrmArchive::showArchive(context); }); };
    auto* action = new QAction(QStringLiteral("&Archive"), main);
    action->setObjectName(QStringLiteral("Archive1"));
    QObject::connect(action, &QAction::triggered, main, show);
    QMenuBar* bar = main->menuBar();
    const QMenu* view = bar->findChild<QMenu*>(QStringLiteral("View1"));
    bar->insertAction(view ? view->menuAction() : nullptr, action);
    if (auto* tools = main->findChild<QToolBar*>(QStringLiteral("Panel1"))) {
        auto* b = new QToolButton(tools);
        b->setObjectName(QStringLiteral("btnArchive"));
        b->setAutoRaise(true);
        b->setText(QStringLiteral("Archive"));
        b->setToolTip(QStringLiteral("Recording Archive"));
        b->setIcon(archiveIcon());
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        QObject::connect(b, &QToolButton::clicked, main, show);
        const QList<QAction*> items = tools->actions();
        // Beside Download and Logger Setup.
        QAction* after = items.size() > 6 ? items.at(6) : nullptr;
        tools->insertWidget(after, b);
    }
}

} // namespace tq
