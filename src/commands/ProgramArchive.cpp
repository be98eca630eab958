#include "ProgramArchive.h"

#include "Archive.h"
#include "ArchiveSettings.h"
#include "ByteReader.h"
#include "DataSetCollection.h"
#include "Messages.h"

#include <QCoreApplication>

#include <memory>

namespace tq::programarchive {

namespace {
struct State {
    QString commandLineUrl;
    bool homeGiven = false;
    QString url;
    std::unique_ptr<Archive> archive;
    bool tried = false;
    std::vector<std::vector<qint64>> deleted; // batches, last on top
};

State& state() {
    static State s;
    return s;
}

const QString kTitle = QStringLiteral("Archive");

void report(const QString& error) {
    Messages::warning(error + QStringLiteral("\n\nThe program goes on without the archive."), kTitle);
}
} // namespace

void configure(const QString& commandLineUrl, bool homeGiven) {
    close();
    state().url.clear();
    state().commandLineUrl = commandLineUrl;
    state().homeGiven = homeGiven;
}

QString url() {
    State& s = state();
    if (!s.url.isEmpty()) return s.url;
    return s.commandLineUrl.isEmpty() ? archivesettings::configuredUrl(s.homeGiven) : s.commandLineUrl;
}

Archive* archive() {
    State& s = state();
    if (s.archive || s.tried) return s.archive.get();
    s.tried = true;
    QString error;
    s.archive = Archive::open(url(), error);
    if (!s.archive) {
        report(error);
        return nullptr;
    }
    // Whatever ends the program, runs deleted and not brought back go.
    static bool closesAtQuit = false;
    if (QCoreApplication* app = QCoreApplication::instance(); app && !closesAtQuit) {
        closesAtQuit = true;
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { close(); });
    }
    return s.archive.get();
}

Outcome switchTo(const QString& newUrl) {
    QString error;
    auto opened = Archive::open(newUrl, error);
    if (!opened) return Outcome::fail(Outcome::Code::CannotOpen, error);
    if (!archivesettings::saveUrl(newUrl, error)) return Outcome::fail(Outcome::Code::CannotWrite, error);
    close();
    State& s = state();
    s.url = newUrl;
    s.commandLineUrl.clear();
    s.archive = std::move(opened);
    s.tried = true;
    return Outcome::success();
}

void keep(const ByteReader& image, const DataSetCollection& decoded, const std::optional<LoggerModel>& model,
          const QString& source) {
    Archive* a = archive();
    if (!a) return;
    std::vector<Archive::Added> added;
    if (!a->addRuns(archiverun::runsOf(image, decoded), {model ? model->code : 0, {}, source}, added))
        report(a->lastError() + QStringLiteral("\nThe runs were not archived."));
}

void deleted(const std::vector<qint64>& ids) {
    if (!ids.empty()) state().deleted.push_back(ids);
}

bool canUndo() {
    return !state().deleted.empty() && state().archive;
}

bool undoDelete() {
    State& s = state();
    if (s.deleted.empty() || !s.archive) return false;
    bool ok = true;
    for (qint64 id : s.deleted.back())
        ok = s.archive->setDeleted(id, false) && ok;
    s.deleted.pop_back();
    return ok;
}

void close() {
    State& s = state();
    if (s.archive)
        for (const auto& batch : s.deleted)
            for (qint64 id : batch)
                s.archive->purge(id);
    s.deleted.clear();
    s.archive.reset();
    s.tried = false;
}

} // namespace tq::programarchive
