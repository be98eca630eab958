#include "OpenCommand.h"

#include "Chart.h"
#include "CollectionFile.h"
#include "CommandGuard.h"
#include "DataLoggerWindow.h"
#include "DataSetCollection.h"
#include "DialogRunner.h"
#include "FileAccess.h"
#include "FileDialogs.h"
#include "FileFilters.h"
#include "FileJob.h"
#include "GraphFile.h"
#include "GraphTextFile.h"
#include "LoggerModel.h"
#include "MemoryLayout.h"
#include "Messages.h"
#include "ProgramArchive.h"
#include "TextFile.h"
#include "TfrmGraph.h"
#include "TfrmOpenSave.h"
#include "TfrmScope.h"

#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>

namespace tq {

void OpenCommand::run() {
    TfrmOpenSave choice(m_context.area ? m_context.area->window() : nullptr);
    choice.setWindowTitle(QStringLiteral("Open File"));
    choice.btnOpenSets->setText(QStringLiteral("Open a data set collection file(*.880)"));
    choice.btnOpenSingleSet->setText(filters::openSingleCaption());
    switch (runDialog(choice)) {
    case TfrmOpenSave::Collection:
        openCollection();
        break;
    case TfrmOpenSave::SingleSet:
        openSingleFile();
        break;
    default:
        break;
    }
}

void OpenCommand::openCollection() {
    restoreOrCreateDataLoggerWindow(m_context.area, m_context.model(), true);
    m_context.dialogs->prepareOpen(filters::collectionOpen(), QStringLiteral("880"));
    const QString name = m_context.dialogs->runOpen();
    if (!name.isEmpty()) openCollectionFile(name);
}

void OpenCommand::openSingleFile() {
    // What Save writes can be opened, the ISO CSV also where the regional .csv is not offered.
    m_context.dialogs->prepareOpen(filters::singleFile(), QStringLiteral("txt"), filters::isoCsv());
    const QString name = m_context.dialogs->runOpen();
    if (!name.isEmpty()) startOpenSingleFile(name);
}

bool OpenCommand::openCollectionFile(const QString& fileName) {
    restoreOrCreateDataLoggerWindow(m_context.area, m_context.model(), true);
    const QString name = shownName(fileName);
    const Result<QByteArray> read = collection::readCollectionFile(fileName);
    if (!reported(read.outcome())) return false;
    const QByteArray& bytes = read.value();
    const ByteReader image(bytes);
    if (image.size() < memory::kDirectorySize) {
        Messages::error(QStringLiteral("%1 is not a data set collection file: it holds %2 bytes, fewer than "
                                       "the %3 of a memory directory.")
                            .arg(name)
                            .arg(image.size())
                            .arg(memory::kDirectorySize));
        return false;
    }
    // The file is readable: only now is an unsaved download at stake.
    if (!m_context.mayReplaceDownload()) return false;
    DataSetCollection& sets = dataSetCollection();
    collection::CollectionDecode decoded = collection::decodeCollection(bytes, sets);
    if (decoded.dataSets == 0) {
        Messages::error(QStringLiteral("%1 holds no data set.").arg(name));
        return false;
    }
    if (decoded.result == DownloadResult::DataError) {
        if (decoded.intact == 0 && decoded.cutSamples == 0) {
            Messages::error(
                QStringLiteral("%1 is damaged: its first data set ends beyond the end of the file.")
                    .arg(name));
            return false;
        }
        // A transfer that broke off leaves its last data set cut short: what arrived of it is offered too.
        QStringList usable;
        if (decoded.intact > 0) usable << QStringLiteral("the %1 data set(s) before it").arg(decoded.intact);
        if (decoded.cutSamples > 0)
            usable << QStringLiteral("the first %1 sample(s) of it").arg(decoded.cutSamples);
        const QString question = QStringLiteral("%1 is damaged: data set %2 ends beyond the end of the "
                                                "file.\n\nShow %3?")
                                     .arg(name)
                                     .arg(decoded.intact + 1)
                                     .arg(usable.join(QStringLiteral(" and ")));
        if (!Messages::confirm(question)) return false;
        decoded.result = collection::decodeUsable(bytes, decoded, sets);
    }
    if (decoded.result != DownloadResult::Ok) {
        Messages::error(QStringLiteral("%1 could not be decoded.").arg(name));
        return false;
    }
    // Archived before anything else happens to it; a file shown only in part is not.
    if (sets.count() == decoded.dataSets)
        programarchive::keep(image, sets, std::nullopt, QFileInfo(fileName).absoluteFilePath());
    TfrmGraph* window = TfrmGraph::dataLoggerWindow();
    if (window) window->fillDataSetList();
    if (!reported(collection::writeWorkingCopy(bytes.constData(), bytes.size()))) return false;
    // The download it replaced was saved or given up when asked; what shows
    // now is a file.
    sets.setDownloadUnsaved(false);
    // The cursor boxes are filled too, matching the cursor lines the new graph shows.
    if (window) window->showDataSetWithList(0, true);
    return true;
}

namespace {
TfrmGraph* newGraphWindow(const CommandContext& context, const QString& fileName) {
    auto* window = new TfrmGraph(context.model());
    window->setWindowTitle(fileName);
    addGraphWindow(context.area, window, true);
    window->prepareGraph(window->model().seriesCount, 4, 0.0, 0.0);
    return window;
}

TfrmGraph* finishOpen(TfrmGraph* window, bool loaded) {
    if (!loaded) {
        // Said why; an empty window would only look like a file with no data. Deleted, not
        // closed: closing a graph window counts as leaving an unsaved download.
        delete window->parentWidget();
        return nullptr;
    }
    guarded([&] { window->showLoadedFile(); });
    return window;
}

void warnAboutCuts(const QString& fileName, const TextFileOpen& read) {
    if (read.cut)
        Messages::warning(QStringLiteral("%1 holds more lines than a graph can show; the first %2 were "
                                         "read.")
                              .arg(shownName(fileName))
                              .arg(read.points));
    if (read.cutLines > 0)
        Messages::warning(QStringLiteral("%1 holds %2 line(s) longer than %3 characters; only their "
                                         "first %3 characters were read.")
                              .arg(shownName(fileName))
                              .arg(read.cutLines)
                              .arg(textfile::kMaxLineLength));
}

bool isTextFile(const QString& ext) {
    return ext == QLatin1String("txt") || ext == QLatin1String("csv");
}
} // namespace

TfrmGraph* OpenCommand::openSingleFile(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    TfrmGraph* window = newGraphWindow(m_context, fileName);
    if (ext == QLatin1String("ghf"))
        return finishOpen(window, reported(LoadGraphFile(*window->chart(), fileName)));
    if (!isTextFile(ext)) return finishOpen(window, true);
    NoProgress none;
    const Result<TextFileOpen> read = ReadTextFile(
        *window, fileName, ext == QLatin1String("txt") ? textfile::kTab : textfile::kComma, none);
    if (read.ok()) warnAboutCuts(fileName, *read);
    return finishOpen(window, reported(read.outcome()));
}

void OpenCommand::startOpenSingleFile(const QString& fileName, const std::function<void(TfrmGraph*)>& done) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (!isTextFile(ext)) {
        TfrmGraph* window = openSingleFile(fileName);
        if (done) done(window);
        return;
    }
    auto progress = std::make_unique<TfrmScope>(m_context.area ? m_context.area->window() : nullptr);
    progress->setWindowTitle(QStringLiteral("Open Progress"));
    progress->SText1->setText(QStringLiteral("0"));
    progress->SText1->show();
    progress->startProgress(TfrmScope::Display::Count, true, -1);
    const QChar separator = ext == QLatin1String("txt") ? textfile::kTab : textfile::kComma;
    auto data = std::make_shared<TextFileData>();
    // The file is read on a worker; the window is made only from a complete read.
    FileJob::start(
        std::move(progress),
        [data, fileName, separator](Progress& p) { *data = ReadTextFileData(fileName, separator, p); },
        [context = m_context, data, fileName, done](bool cancelled, std::exception_ptr error) {
            TfrmGraph* window = nullptr;
            if (cancelled || data->outcome.cancelled) {
                // Nothing half-read is shown.
            } else if (error) {
                guarded([&] { std::rethrow_exception(error); });
            } else {
                window = newGraphWindow(context, fileName);
                window = finishOpen(window, guarded([&] {
                                        ApplyTextFile(*window, *data);
                                        warnAboutCuts(fileName, data->outcome);
                                    }));
            }
            if (done) done(window);
        },
        m_context.area);
}

void OpenCommand::openFiles(const QStringList& fileNames) {
    for (const QString& fileName : fileNames) {
        QFile probe(fileName);
        if (!reported(openForReading(probe))) continue;
        probe.close();
        guarded([&] {
            if (QFileInfo(fileName).suffix().toLower() == QLatin1String("880"))
                openCollectionFile(fileName);
            else
                openSingleFile(fileName);
        });
    }
}

} // namespace tq
