#include "SaveCommand.h"

#include "Chart.h"
#include "CollectionFile.h"
#include "CommandGuard.h"
#include "DataSetCollection.h"
#include "DialogRunner.h"
#include "FileAccess.h"
#include "FileDialogs.h"
#include "FileFilters.h"
#include "GraphFile.h"
#include "GraphRun.h"
#include "GraphTextFile.h"
#include "Messages.h"
#include "TextFile.h"
#include "TextRange.h"
#include "TfrmGraph.h"
#include "TfrmOpenSave.h"
#include "TfrmScope.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QRadioButton>

namespace tq {

namespace {
QWidget* ownerOf(const CommandContext& c) {
    return c.area ? c.area->window() : nullptr;
}
} // namespace

bool SaveCommand::run() {
    // The current window also while the frame is not the active window (a
    // dialog had the focus last).
    QMdiSubWindow* active = m_context.area ? m_context.area->currentSubWindow() : nullptr;
    auto* window = active ? qobject_cast<TfrmGraph*>(active->widget()) : nullptr;
    return window ? run(*window) : false;
}

bool SaveCommand::run(TfrmGraph& window) {
    if (!window.isDataLogger()) return saveGraph(*window.chart(), recordedUnit(window));
    TfrmOpenSave choice(ownerOf(m_context));
    choice.setWindowTitle(QStringLiteral("Save File"));
    switch (runDialog(choice)) {
    case TfrmOpenSave::Collection:
        return saveCollection();
    case TfrmOpenSave::SingleSet:
        return saveGraph(*window.chart(), recordedUnit(window));
    default:
        return false;
    }
}

bool SaveCommand::saveCollection() {
    m_context.dialogs->prepareSave(filters::collectionSave(), QStringLiteral("880"));
    const QString name = m_context.dialogs->runSave();
    if (name.isEmpty()) return false;
    if (!guarded([&] { collection::saveWorkingCopyAs(name); })) return false;
    dataSetCollection().setDownloadUnsaved(false);
    return true;
}

bool SaveCommand::saveGraph(const Chart& chart, std::optional<TemperatureUnit> unit) {
    // A data set without samples: any file would be empty.
    if (chart.points() == 0 || chart.x(0, 0) == 0.0) {
        Messages::error(QStringLiteral("There is nothing to save: the graph holds no readings."));
        return false;
    }
    m_context.dialogs->prepareSave(filters::singleFile(), QStringLiteral("GHF"), filters::isoCsv());
    const QString name = m_context.dialogs->runSave();
    if (name.isEmpty()) return false;
    const QString ext = QFileInfo(name).suffix().toLower();
    if (m_context.dialogs->saveChoseExtra() && ext == QLatin1String("csv"))
        return saveIsoCsv(chart, name, unit);
    if (ext == QLatin1String("ghf")) return guarded([&] { SaveGraphFile(chart, name); });
    if (ext == QLatin1String("txt")) return saveText(chart, name, textfile::kTab);
    if (ext == QLatin1String("csv")) return saveText(chart, name, textfile::kComma);
    Messages::error(
        QStringLiteral("%1 was not saved: a graph is saved as .ghf, .txt or .csv.").arg(shownName(name)));
    return false;
}

bool SaveCommand::saveText(const Chart& chart, const QString& fileName, QChar separator) {
    return saveRange(chart, [&](qint64 first, qint64 last, Progress& progress) {
        WriteTextFile(chart, fileName, separator, first, last, progress);
    });
}

bool SaveCommand::saveIsoCsv(const Chart& chart, const QString& fileName,
                             std::optional<TemperatureUnit> unit) {
    if (!unit) {
        // A file's graph does not say; the header must.
        switch (Messages::ask(QStringLiteral("The graph does not record the unit of its values. Are they "
                                             "degrees Celsius? (No: degrees Fahrenheit)"))) {
        case Messages::Yes:
            unit = TemperatureUnit::Celsius;
            break;
        case Messages::No:
            unit = TemperatureUnit::Fahrenheit;
            break;
        default:
            return false;
        }
    }
    return saveRange(chart, [&](qint64 first, qint64 last, Progress& progress) {
        WriteIsoCsvFile(chart, fileName, *unit, first, last, progress);
    });
}

bool SaveCommand::saveRange(const Chart& chart, const std::function<void(qint64, qint64, Progress&)>& write) {
    TextRange range;
    {
        TfrmScope ask(ownerOf(m_context));
        ask.setWindowTitle(QStringLiteral("Save File"));
        ask.showRangeChoice(chart.points());
        if (runDialog(ask) != TfrmScope::Ok) return false;
        if (!textRange(ask.radAll->isChecked(), ask.edtSelFrom->text(), ask.edtSelTo->text(), chart.points(),
                       range)) {
            Messages::error(QStringLiteral("invalid integer"));
            return false;
        }
        if (range.first > chart.points()) {
            Messages::error(QStringLiteral("Nothing was saved: the graph has no point %1 (it holds %2).")
                                .arg(range.first)
                                .arg(chart.points()));
            return false;
        }
    }
    TfrmScope progress(ownerOf(m_context));
    progress.setWindowTitle(QStringLiteral("Saving Progress"));
    progress.Progress1->show();
    progress.SText1->setText(QStringLiteral("saving....."));
    progress.SText1->show();
    progress.setMaximum(qMax<qint64>(0, range.last - range.first + 1));
    progress.startProgress(TfrmScope::Display::Bar, true, 0);
    const bool written = guarded([&] { write(range.first, range.last, progress); });
    progress.close();
    return written;
}

namespace {
// "Save DataLogger Data ?": Yes goes on only when save() wrote the file,
// No goes on, Cancel stops.
bool askToSaveDownload(const std::function<bool()>& save) {
    switch (Messages::ask(QStringLiteral("Save DataLogger Data ?"))) {
    case Messages::Yes:
        return save();
    case Messages::No:
        return true;
    default:
        return false;
    }
}
} // namespace

bool SaveCommand::closeQuery(TfrmGraph& window) {
    if (!window.isDataLogger() || !dataSetCollection().downloadUnsaved()) return true;
    // A save that was cancelled or failed keeps the download's window.
    return askToSaveDownload([&] { return run(window); });
}

bool SaveCommand::mayReplaceDownload() {
    if (!dataSetCollection().downloadUnsaved()) return true;
    // All data sets: the whole download is what would be lost.
    return askToSaveDownload([this] { return saveCollection(); });
}

} // namespace tq
