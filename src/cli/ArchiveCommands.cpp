// tq880-cli archive: the recording archive without a window.

#include "ArchiveCommands.h"

#include "AppPaths.h"
#include "Archive.h"
#include "ArchiveSettings.h"
#include "ByteReader.h"
#include "CliSupport.h"
#include "CollectionFile.h"
#include "DataSetCollection.h"
#include "Regional.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tq::cli {

const QCommandLineOption kArchive(QStringLiteral("archive"),
                                  QStringLiteral("The archive: a file, or postgresql://user@host[:port]/db."),
                                  QStringLiteral("URL"));
const QCommandLineOption kHome(QStringLiteral("home"), QStringLiteral("The program folder."),
                               QStringLiteral("DIR"));
const QCommandLineOption kNoArchive(QStringLiteral("no-archive"),
                                    QStringLiteral("Do not keep it in the archive."));

namespace {

QString isoText(TDateTime t) {
    return fromDays(t).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString numberText(const std::optional<double>& v) {
    return v ? QString::number(*v, 'f', 1) : QStringLiteral("-");
}

bool idOf(const QStringList& positional, qint64& id, Io& io) {
    bool ok = false;
    id = positional.size() == 2 ? positional[1].toLongLong(&ok) : 0;
    if (ok && id > 0) return true;
    io.err << "expected one run id" << Qt::endl;
    return false;
}

int list(Archive& a, Io& io) {
    std::vector<ArchivedRun> runs;
    if (!a.list(runs)) {
        io.err << a.lastError() << Qt::endl;
        return CannotRead;
    }
    for (const ArchivedRun& r : runs)
        io.out << r.id << '\t' << isoText(r.startTime) << '\t' << isoText(r.endTime()) << '\t'
               << minutesSecondsText(r.intervalSeconds) << '\t' << r.sampleCount << '\t'
               << (r.fahrenheit() ? 'F' : 'C') << '\t' << numberText(r.minimum) << '\t'
               << numberText(r.maximum) << '\t' << numberText(r.average) << '\t' << r.firstSeen << '\t'
               << r.seenCount << '\t' << r.name << '\n';
    io.out.flush();
    return Ok;
}

int show(Archive& a, qint64 id, Io& io) {
    ArchivedRun r;
    if (!a.find(id, r) || r.deleted) {
        io.err << "there is no run " << id << " in the archive" << Qt::endl;
        return NoData;
    }
    io.out << "id\t" << r.id << "\nmodel\t" << (r.model ? QString::number(r.model) : QStringLiteral("-"))
           << "\nfirmware\t" << (r.firmware.isEmpty() ? QStringLiteral("-") : r.firmware) << "\nstart\t"
           << isoText(r.startTime) << "\nend\t" << isoText(r.endTime()) << "\ninterval\t"
           << minutesSecondsText(r.intervalSeconds) << "\nreadings\t" << r.sampleCount << "\nunit\t"
           << (r.fahrenheit() ? 'F' : 'C') << "\nminimum\t" << numberText(r.minimum) << "\nmaximum\t"
           << numberText(r.maximum) << "\naverage\t" << numberText(r.average) << "\nfirst downloaded\t"
           << r.firstSeen << "\nlast seen\t" << r.lastSeen << "\ntimes seen\t" << r.seenCount << "\nname\t"
           << r.name << "\nnote\t" << QString(r.note).replace(QLatin1Char('\n'), QLatin1Char(' '))
           << "\nsha256\t" << r.readingsSha256 << Qt::endl;
    return Ok;
}

int exportRun(Archive& a, qint64 id, const QCommandLineParser& p, const QCommandLineOption& format,
              const QCommandLineOption& locale, const QCommandLineOption& output, Io& io) {
    QString fmt;
    QLocale regional;
    if (!exportFormat(p, format, locale, fmt, regional, io)) return BadArguments;
    RunReadings run;
    if (!a.readings(id, run)) {
        io.err << a.lastError() << Qt::endl;
        return NoData;
    }
    std::vector<float> values;
    std::vector<double> times;
    archiverun::samplesOf(run, values, times);
    const DataSet set = archiverun::dataSetOf(run);
    const SampleSlice slice{values.data(), times.data(), int(values.size())};
    return writeExport(p, output, fmt, set, slice, regional, io);
}

int importFiles(Archive& a, const QStringList& files, Io& io) {
    if (files.isEmpty()) {
        io.err << "expected FILE.880 ..." << Qt::endl;
        return BadArguments;
    }
    int status = Ok;
    for (const QString& name : files) {
        DataSetCollection sets;
        const Result<QByteArray> read = collection::readCollectionFile(name);
        if (!read.ok()) {
            io.err << read.outcome().text << Qt::endl;
            status = std::max(status, int(CannotRead));
            continue;
        }
        const QByteArray& bytes = read.value();
        const collection::CollectionDecode d = collection::decodeCollection(bytes, sets);
        if (d.result != DownloadResult::Ok) {
            io.err << name
                   << (d.result == DownloadResult::NoData ? ": no data set" : ": damaged, not archived")
                   << Qt::endl;
            status = std::max(status, int(d.result == DownloadResult::NoData ? NoData : DataError));
            continue;
        }
        std::vector<Archive::Added> added;
        if (!a.addRuns(archiverun::runsOf(ByteReader(bytes), sets),
                       {0, {}, QFileInfo(name).absoluteFilePath()}, added)) {
            io.err << a.lastError() << Qt::endl;
            status = std::max(status, int(CannotRead));
            continue;
        }
        const auto again =
            std::count_if(added.begin(), added.end(), [](const auto& x) { return x.seenAgain; });
        io.out << name << '\t' << added.size() << (added.size() == 1 ? " run\t" : " runs\t")
               << qsizetype(added.size()) - again << " new\t" << again << " seen again" << Qt::endl;
    }
    return status;
}

int verify(Archive& a, Io& io) {
    Archive::Verified v;
    if (!a.verify(v)) {
        io.err << a.lastError() << Qt::endl;
        return CannotRead;
    }
    for (const auto& [id, what] : v.changed)
        io.out << "run " << id << ": " << what << '\n';
    io.out << v.checked << (v.checked == 1 ? " run checked, " : " runs checked, ") << v.changed.size()
           << " changed" << Qt::endl;
    return v.changed.empty() ? Ok : DataError;
}

int remove(Archive& a, qint64 id, Io& io) {
    ArchivedRun r;
    if (!a.find(id, r)) {
        io.err << "there is no run " << id << " in the archive" << Qt::endl;
        return NoData;
    }
    if (!a.setDeleted(id, true) || !a.purge(id)) {
        io.err << a.lastError() << Qt::endl;
        return CannotRead;
    }
    io.out << "run " << id << " deleted" << Qt::endl;
    return Ok;
}

} // namespace

std::unique_ptr<Archive> openArchive(const QCommandLineParser& p, Io& io) {
    if (p.isSet(kHome) && !AppPaths::setHome(p.value(kHome))) {
        io.err << "cannot create the folder " << p.value(kHome) << Qt::endl;
        return nullptr;
    }
    const QString url =
        p.isSet(kArchive) ? p.value(kArchive) : archivesettings::configuredUrl(p.isSet(kHome));
    QString error;
    auto archive = Archive::open(url, error);
    if (!archive) io.err << error << Qt::endl;
    return archive;
}

bool archiveRuns(const QCommandLineParser& p, const ByteReader& image, const DataSetCollection& sets,
                 int model, const QString& source, Io& io) {
    if (p.isSet(kNoArchive)) return true;
    const auto archive = openArchive(p, io);
    if (!archive) return false;
    std::vector<Archive::Added> added;
    if (archive->addRuns(archiverun::runsOf(image, sets), {model, {}, source}, added)) return true;
    io.err << archive->lastError() << Qt::endl;
    return false;
}

int runArchive(const QStringList& args, Io& io) {
    QCommandLineParser p;
    const QCommandLineOption& format = kExportFormat;
    const QCommandLineOption& locale = kExportLocale;
    const QCommandLineOption& output = kExportOutput;
    p.addOptions({kArchive, kHome, format, locale, output});
    if (!p.parse(QStringList{QStringLiteral("tq880-cli")} + args)) {
        io.err << p.errorText() << Qt::endl;
        return BadArguments;
    }
    const QStringList positional = p.positionalArguments();
    const QString what = positional.value(0);
    const QStringList known{QStringLiteral("list"),   QStringLiteral("show"),   QStringLiteral("export"),
                            QStringLiteral("import"), QStringLiteral("verify"), QStringLiteral("delete")};
    if (!known.contains(what)) {
        io.err << "archive takes list, show ID, export ID, import FILE.880 ..., verify or delete ID"
               << Qt::endl;
        return BadArguments;
    }
    qint64 id = 0;
    const bool needsId =
        what == QLatin1String("show") || what == QLatin1String("export") || what == QLatin1String("delete");
    if (needsId && !idOf(positional, id, io)) return BadArguments;
    if (!needsId && what != QLatin1String("import") && positional.size() != 1) {
        io.err << "unexpected arguments: " << positional.mid(1).join(QLatin1Char(' ')) << Qt::endl;
        return BadArguments;
    }
    const auto archive = openArchive(p, io);
    if (!archive) return CannotRead;
    if (what == QLatin1String("list")) return list(*archive, io);
    if (what == QLatin1String("show")) return show(*archive, id, io);
    if (what == QLatin1String("export")) return exportRun(*archive, id, p, format, locale, output, io);
    if (what == QLatin1String("import")) return importFiles(*archive, positional.mid(1), io);
    if (what == QLatin1String("verify")) return verify(*archive, io);
    return remove(*archive, id, io);
}

} // namespace tq::cli
