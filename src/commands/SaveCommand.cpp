#include "SaveCommand.h"

#include "Chart.h"
#include "CollectionFile.h"
#include "CommandGuard.h"
#include "DataSetCollection.h"
#include "DialogRunner.h"
#include "FileAccess.h"
#include "FileDialogs.h"
#include "FileFilters.h"
#include "FileJob.h"
#include "GraphFile.h"
#include "GraphRun.h"
#include "GraphTextFile.h"
#include "Messages.h"
#include "TextFile.h"
#include "TextRange.h"
#include "TfrmGraph.h"
#include "TfrmOpenSave.h"
#include "TfrmRealTime.h"
#include "TfrmScope.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>

namespace tq {

namespace {
QWidget* ownerOf(const CommandContext& c) {
    return c.area ? c.area->window() : nullptr;
}
} // namespace

void SaveCommand::run(const Done& done) {
    // The current window also while the frame is not the active window (a
    // dialog had the focus last).
    QMdiSubWindow* active = m_context.area ? m_context.area->currentSubWindow() : nullptr;
    auto* window = active ? qobject_cast<TfrmGraph*>(active->widget()) : nullptr;
    auto* trend = active ? qobject_cast<TfrmRealTime*>(active->widget()) : nullptr;
    if (window)
        run(*window, done);
    else if (trend)
        run(*trend, done);
    else
        report(done, false);
}

void SaveCommand::run(TfrmRealTime& window, const Done& done) {
    QPointer<TfrmRealTime> target(&window);
    // The file holds the readings up to now at least: the trend grows on
    // while the dialogs are open and the file is written.
    const qint64 mark = window.saveMark();
    saveGraph(*window.chart(), window.unit(), [target, done, mark](bool written) {
        if (written && target) target->markSaved(mark);
        report(done, written);
    });
}

void SaveCommand::run(TfrmGraph& window, const Done& done) {
    if (!window.isDataLogger()) return saveGraph(*window.chart(), recordedUnit(window), done);
    TfrmOpenSave choice(ownerOf(m_context));
    choice.setWindowTitle(QStringLiteral("Save File"));
    switch (runDialog(choice)) {
    case TfrmOpenSave::Collection:
        return report(done, saveCollection());
    case TfrmOpenSave::SingleSet:
        return saveGraph(*window.chart(), recordedUnit(window), done);
    default:
        return report(done, false);
    }
}

void SaveCommand::report(const Done& done, bool written) {
    if (done) done(written);
}

bool SaveCommand::saveCollection() {
    m_context.dialogs->prepareSave(filters::collectionSave(), QStringLiteral("880"));
    const QString name = m_context.dialogs->runSave();
    if (name.isEmpty()) return false;
    if (!reported(collection::saveWorkingCopyAs(name))) return false;
    dataSetCollection().setDownloadUnsaved(false);
    return true;
}

void SaveCommand::saveGraph(const Chart& chart, std::optional<TemperatureUnit> unit, const Done& done) {
    // A data set without samples: any file would be empty.
    if (chart.points() == 0 || chart.x(0, 0) == 0.0) {
        Messages::error(QStringLiteral("There is nothing to save: the graph holds no readings."));
        return report(done, false);
    }
    m_context.dialogs->prepareSave(filters::singleFile(), QStringLiteral("GHF"), filters::isoCsv());
    const QString name = m_context.dialogs->runSave();
    if (name.isEmpty()) return report(done, false);
    const QString ext = QFileInfo(name).suffix().toLower();
    if (m_context.dialogs->saveChoseExtra() && ext == QLatin1String("csv"))
        return saveIsoCsv(chart, name, unit, done);
    if (ext == QLatin1String("ghf")) return report(done, reported(SaveGraphFile(chart, name)));
    if (ext == QLatin1String("txt")) return saveText(chart, name, textfile::kTab, done);
    if (ext == QLatin1String("csv")) return saveText(chart, name, textfile::kComma, done);
    Messages::error(
        QStringLiteral("%1 was not saved: a graph is saved as .ghf, .txt or .csv.").arg(shownName(name)));
    report(done, false);
}

void SaveCommand::saveText(const Chart& chart, const QString& fileName, QChar separator, const Done& done) {
    saveRange(
        chart,
        [fileName, separator](const TextPoints& points, qint64 first, qint64 last, Progress& progress) {
            WriteTextFile(points, fileName, separator, first, last, progress);
        },
        done);
}

void SaveCommand::saveIsoCsv(const Chart& chart, const QString& fileName, std::optional<TemperatureUnit> unit,
                             const Done& done) {
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
            return report(done, false);
        }
    }
    saveRange(
        chart,
        [fileName, unit = *unit](const TextPoints& points, qint64 first, qint64 last, Progress& progress) {
            WriteIsoCsvFile(points, fileName, unit, first, last, progress);
        },
        done);
}

void SaveCommand::saveRange(const Chart& chart, const TextWrite& write, const Done& done) {
    TextRange range;
    {
        TfrmScope ask(ownerOf(m_context));
        ask.setWindowTitle(QStringLiteral("Save File"));
        ask.showRangeChoice(chart.points());
        if (runDialog(ask) != TfrmScope::Ok) return report(done, false);
        if (!textRange(ask.radAll->isChecked(), ask.edtSelFrom->text(), ask.edtSelTo->text(), chart.points(),
                       range)) {
            Messages::error(QStringLiteral("invalid integer"));
            return report(done, false);
        }
        if (range.first > chart.points()) {
            Messages::error(QStringLiteral("Nothing was saved: the graph has no point %1 (it holds %2).")
                                .arg(range.first)
                                .arg(chart.points()));
            return report(done, false);
        }
    }
    auto progress = std::make_unique<TfrmScope>(ownerOf(m_context));
    progress->setWindowTitle(QStringLiteral("Saving Progress"));
    progress->Progress1->show();
    progress->SText1->setText(QStringLiteral("saving....."));
    progress->SText1->show();
    progress->setMaximum(qMax<qint64>(0, range.last - range.first + 1));
    progress->startProgress(TfrmScope::Display::Bar, true, 0);
    // Written on a worker from a copy of the points, so the graph may change meanwhile.
    auto points = std::make_shared<const TextPoints>(TextPoints::of(chart, range.last));
    FileJob::start(
        std::move(progress),
        [points, range, write](Progress& p) { write(*points, range.first, range.last, p); },
        [done](bool cancelled, std::exception_ptr error) {
            // A cancelled write leaves the previous file as it was, without a word.
            if (error && !cancelled) guarded([&] { std::rethrow_exception(error); });
            report(done, !cancelled && !error);
        },
        m_context.area);
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
    switch (Messages::ask(QStringLiteral("Save DataLogger Data ?"))) {
    case Messages::Yes: {
        // A save that was cancelled or failed keeps the download's window. A
        // text file is written after this returns: the window stays until it
        // is, then closes.
        struct State {
            bool returned = false;
            bool written = false;
        };
        auto state = std::make_shared<State>();
        QPointer<TfrmGraph> target(&window);
        run(window, [state, target](bool written) {
            if (!state->returned)
                state->written = written;
            else if (written && target)
                target->closeAfterSave();
        });
        state->returned = true;
        return state->written;
    }
    case Messages::No:
        return true;
    default:
        return false;
    }
}

bool SaveCommand::mayReplaceDownload() {
    if (!dataSetCollection().downloadUnsaved()) return true;
    // All data sets: the whole download is what would be lost.
    return askToSaveDownload([this] { return saveCollection(); });
}

} // namespace tq
