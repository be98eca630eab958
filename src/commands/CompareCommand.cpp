#include "CompareCommand.h"

#include "Archive.h"
#include "ArchiveCompare.h"
#include "CommandGuard.h"
#include "CompareSources.h"
#include "DataSetCollection.h"
#include "DialogRunner.h"
#include "DrawnIcon.h"
#include "FileDialogs.h"
#include "FileFilters.h"
#include "Messages.h"
#include "ProgramArchive.h"
#include "Regional.h"
#include "TfrmCompare.h"
#include "TfrmGraph.h"
#include "WorkArea.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tq {

namespace {
const QString kTitle = QStringLiteral("Data Compare");
constexpr int kPreferredWidth = 1300;

std::vector<compare::Run> pickFile(const CommandContext& context) {
    if (!context.dialogs) return {};
    context.dialogs->prepareOpen(QStringLiteral("Runs(*.880,*.ghf,*.txt,*.csv)|*.880;*.GHF;*.TXT;*.CSV|"
                                                "Data Sets Collection (*.880)|*.880|Graph file(*.ghf)|*.GHF|"
                                                "TXT file(*.txt)|*.TXT|CSV file(*.csv)|*.CSV"),
                                 QStringLiteral("880"));
    const QString name = context.dialogs->runOpen();
    std::vector<compare::Run> runs;
    QString error;
    if (!name.isEmpty() && !compare::loadFileRuns(name, 0, runs, error)) Messages::error(error, kTitle);
    return runs;
}

// The archive's runs in a list to pick from.
std::vector<compare::Run> pickArchived(QWidget* parent) {
    Archive* archive = programarchive::archive();
    std::vector<ArchivedRun> listed;
    if (!archive || !archive->list(listed)) {
        Messages::error(archive ? archive->lastError() : QStringLiteral("The archive cannot be opened."),
                        kTitle);
        return {};
    }
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmPickRuns"));
    dialog.setWindowTitle(QStringLiteral("Add From Archive"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("lstRuns"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const RegionalFormats formats;
    for (const ArchivedRun& r : listed) {
        auto* item =
            new QListWidgetItem(QStringLiteral("%1  %2 - %3  %4 readings  %5")
                                    .arg(r.id)
                                    .arg(formats.dateTime(r.startTime), formats.dateTime(r.endTime()))
                                    .arg(r.sampleCount)
                                    .arg(r.name),
                                list);
        item->setData(Qt::UserRole, r.id);
    }
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(560, 400);
    if (runDialog(dialog) != QDialog::Accepted) return {};
    std::vector<qint64> ids;
    for (const QListWidgetItem* item : list->selectedItems())
        ids.push_back(item->data(Qt::UserRole).toLongLong());
    return comparecommand::archiveRuns(ids);
}

QString exportName(const CommandContext& context) {
    if (!context.dialogs) return {};
    context.dialogs->prepareSave(filters::pictures() +
                                     QStringLiteral("|Wide CSV, a column per run(*.csv)|*.CSV"),
                                 QStringLiteral("PNG"));
    return context.dialogs->runSave();
}
} // namespace

namespace comparecommand {

std::vector<compare::Run> archiveRuns(const std::vector<qint64>& ids) {
    std::vector<compare::Run> runs;
    Archive* archive = programarchive::archive();
    if (!archive) {
        if (!ids.empty()) Messages::error(QStringLiteral("The archive cannot be opened."), kTitle);
        return runs;
    }
    for (const qint64 id : ids) {
        const Result<compare::Run> run = compare::archiveRun(*archive, id);
        if (run.ok())
            runs.push_back(*run);
        else
            Messages::error(run.outcome().text, kTitle);
    }
    return runs;
}

std::vector<compare::Run> collectionRuns(const std::vector<int>& dataSets) {
    std::vector<compare::Run> runs;
    for (const int k : dataSets) {
        const std::vector<compare::Run> one =
            compare::collectionRuns(dataSetCollection(), QStringLiteral("DataLogger"), k + 1);
        runs.insert(runs.end(), one.begin(), one.end());
    }
    return runs;
}

TfrmCompare* open(const CommandContext& context, const std::vector<compare::Run>& runs) {
    TfrmCompare::Sources sources;
    sources.files = [context] { return pickFile(context); };
    sources.collection = [] {
        std::vector<int> all;
        for (int k = 0; k < dataSetCollection().count(); ++k)
            all.push_back(k);
        return collectionRuns(all);
    };
    sources.archive = [area = context.area] { return pickArchived(area); };
    sources.exportFileName = [context] { return exportName(context); };
    auto* window = new TfrmCompare(sources);
    if (context.area)
        addAreaWindow(context.area, window, kPreferredWidth, false);
    else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    window->addRuns(runs);
    return window;
}

} // namespace comparecommand

void addCompareCommand(QMainWindow* main, const CommandContext& context) {
    auto show = [context] { guarded([&] { comparecommand::open(context, {}); }); };
    QMenuBar* bar = main->menuBar();
    QAction* action = bar->findChild<QAction*>(QStringLiteral("DataCompare1"));
    if (!action) {
        action = bar->addAction(kTitle);
        action->setObjectName(QStringLiteral("DataCompare1"));
    }
    action->setVisible(true);
    QObject::connect(action, &QAction::triggered, main, show);
    if (auto* tools = main->findChild<QToolBar*>(QStringLiteral("Panel1"))) {
        auto* b = new QToolButton(tools);
        b->setObjectName(QStringLiteral("btnCompare"));
        b->setAutoRaise(true);
        b->setText(QStringLiteral("Compare"));
        b->setToolTip(kTitle);
        // Two runs, one above the other, as the compare window draws them.
        b->setIcon(drawnIcon(
            [](QPainter& p) {
                p.setRenderHint(QPainter::Antialiasing);
                p.setPen(QPen(QColor(60, 60, 60), 1.0));
                p.drawLine(QPointF(3, 3), QPointF(3, 21));
                p.drawLine(QPointF(3, 21), QPointF(21, 21));
                p.setPen(QPen(QColor(200, 40, 40), 1.8));
                p.drawPolyline(QPolygonF({QPointF(4, 15), QPointF(9, 9), QPointF(14, 13), QPointF(20, 6)}));
                p.setPen(QPen(QColor(40, 90, 200), 1.8));
                p.drawPolyline(QPolygonF({QPointF(4, 18), QPointF(9, 13), QPointF(14, 17), QPointF(20, 11)}));
            },
            24));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        QObject::connect(b, &QToolButton::clicked, main, show);
        QToolButton* archive = tools->findChild<QToolButton*>(QStringLiteral("btnArchive"));
        QAction* after = nullptr;
        const QList<QAction*> items = tools->actions();
        for (qsizetype i = 0; archive && i + 1 < items.size(); ++i)
            if (tools->widgetForAction(items[i]) == archive) after = items[i + 1];
        tools->insertWidget(after, b);
    }
    TfrmGraph::setCompareDataSets([context](const std::vector<int>& dataSets) {
        comparecommand::open(context, comparecommand::collectionRuns(dataSets));
    });
}

} // namespace tq
