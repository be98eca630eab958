// The commands that talk to a logger: ports, download, info and the settings.

#include "ArchiveCommands.h"
#include "Cli.h"
#include "CliSupport.h"
#include "DataSetCollection.h"
#include "DataSetList.h"
#include "DownloadJob.h"
#include "IntervalTable.h"
#include "LoggerModel.h"
#include "LoggerPort.h"
#include "LoggerSearch.h"
#include "MemoryDecoder.h"
#include "MemoryLayout.h"
#include "PortNames.h"
#include "ProgressLine.h"
#include "Regional.h"
#include "SetupReplies.h"
#include "SetupSession.h"

#include <QRegularExpression>
#include <QSaveFile>
#include <QSerialPortInfo>

#include <unistd.h>

namespace tq::cli {

namespace {

const QCommandLineOption kPort(QStringLiteral("port"), QStringLiteral("The logger's serial port."),
                               QStringLiteral("PATH"));
// The clock is set to whole seconds and read back a moment later: within
// this of the PC's time it took the setting.
constexpr qint64 kClockToleranceSeconds = 3;

// --port PATH, required once.
bool portOf(const QCommandLineParser& p, QString& path, Io& io) {
    const QStringList paths = p.values(kPort);
    if (paths.size() != 1 || paths.first().isEmpty()) {
        io.err << "--port PATH names the logger's serial port (once)" << Qt::endl;
        return false;
    }
    path = paths.first();
    return true;
}

// Parses the options of a logger command; the port in path, and the one
// value it takes (a unit, an interval) in value when it takes one.
bool parseLoggerCommand(QCommandLineParser& p, const QStringList& args, Io& io, QString& path,
                        QString* value = nullptr) {
    p.addOption(kPort);
    if (!p.parse(QStringList{QStringLiteral("tq880-cli")} + args)) {
        io.err << p.errorText() << Qt::endl;
        return false;
    }
    const QStringList values = p.positionalArguments();
    if (values.size() != (value ? 1 : 0)) {
        io.err << (value ? "expected one value, got " : "unexpected arguments: ") << values.join(' ')
               << Qt::endl;
        return false;
    }
    if (value) *value = values.first();
    return portOf(p, path, io);
}

QString clockText(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

bool writeAtomically(QSaveFile& file, const MemoryImage& image, Io& io) {
    if (file.write(reinterpret_cast<const char*>(image.data()), image.size()) == image.size() &&
        file.commit())
        return true;
    io.err << "cannot write " << file.fileName() << ": " << file.errorString() << Qt::endl;
    return false;
}

// Where what arrived was kept, and what list makes of that file.
void sayWhatIsKept(const MemoryImage& image, const QString& fileName, Io& io) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
    DataSetCollection scratch;
    const collection::CollectionDecode d = collection::decodeCollection(bytes, scratch);
    io.err << "the memory as it arrived is in " << fileName;
    if (d.result == DownloadResult::Ok)
        io.err << " (list shows its " << d.dataSets << " data set(s))";
    else if (d.result == DownloadResult::NoData)
        io.err << " (without a whole memory directory it holds no data set)";
    else if (const QString usable = usableText(d); !usable.isEmpty())
        io.err << " (data set " << d.intact + 1 << " runs past its end: list --intact shows " << usable
               << ")";
    else
        io.err << " (no sample in it is whole)";
    io.err << Qt::endl;
}

// The entry of "MM:SS" in the logger's interval table, or -1.
int intervalIndexOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return -1;
    const int seconds = m.captured(1).toInt() * 60 + m.captured(2).toInt();
    for (int i = 0; i < intervals::kCount; ++i)
        if (intervals::kSeconds[size_t(i)] == seconds) return i;
    return -1;
}

QString intervalChoices() {
    QStringList all;
    for (int i = 0; i < intervals::kCount; ++i)
        all << intervals::text(i);
    return all.join(QStringLiteral(", "));
}

// A setup exchange: its reply (empty without one), and whether the port held.
struct Exchange {
    QByteArray reply;
    bool portFailed = false;
};
Exchange exchange(LoggerPort& logger, std::unique_ptr<SetupCommandJob> job) {
    Exchange e;
    const JobOutcome outcome = logger.run(
        std::move(job), [&](DeviceJob& done) { e.reply = static_cast<SetupCommandJob&>(done).reply(); });
    e.portFailed =
        outcome.code == JobOutcome::Code::CannotOpen || outcome.code == JobOutcome::Code::DeviceRemoved;
    return e;
}

std::optional<QDateTime> readClock(LoggerPort& logger) {
    QByteArray reply = exchange(logger, SetupCommandJob::readClock()).reply;
    return takeClockReplies(reply);
}

std::optional<int> readIntervalSeconds(LoggerPort& logger) {
    return intervalSecondsFromReply(exchange(logger, SetupCommandJob::readInterval()).reply);
}

} // namespace

int runPorts(const QStringList& args, Io& io) {
    QCommandLineParser p;
    p.addOption(QCommandLineOption(QStringLiteral("port"),
                                   QStringLiteral("List this port first (repeatable)."),
                                   QStringLiteral("PATH")));
    const QCommandLineOption noSystem(QStringLiteral("no-system-ports"),
                                      QStringLiteral("Leave the system's serial ports out."));
    p.addOption(noSystem);
    if (!parse(p, args, io, 0)) return BadArguments;
    for (const QString& name : listPorts(p.values(QStringLiteral("port")), p.isSet(noSystem))) {
        const QString description = QSerialPortInfo(name).description();
        const std::optional<LoggerModel> model = probePort(name);
        io.out << name << '\t' << (description.isEmpty() ? QStringLiteral("-") : description) << '\t'
               << (model ? QString::number(model->code) : QStringLiteral("-")) << Qt::endl;
    }
    return Ok;
}

int runDownload(const QStringList& args, Io& io) {
    QCommandLineParser p;
    const QCommandLineOption output(QStringLiteral("o"), QStringLiteral("The collection file to write."),
                                    QStringLiteral("FILE.880"));
    const QCommandLineOption keepPartial(
        QStringLiteral("keep-partial"),
        QStringLiteral("Also write the file after a read error or a data error, with what arrived."));
    p.addOptions({output, keepPartial, kArchive, kHome, kNoArchive});
    QString path;
    if (!parseLoggerCommand(p, args, io, path)) return BadArguments;
    if (p.value(output).isEmpty()) {
        io.err << "-o FILE.880 names the file to write" << Qt::endl;
        return BadArguments;
    }
    // Opened first, so a folder that cannot be written is known before the
    // transfer; nothing replaces the file until it is committed.
    QSaveFile file(p.value(output));
    if (!file.open(QIODevice::WriteOnly)) {
        io.err << "cannot write " << file.fileName() << ": " << file.errorString() << Qt::endl;
        return CannotRead;
    }

    LoggerPort logger(path, io);
    if (const int status = logger.readyForCommand(); status != Ok) return status;
    ProgressLine progress(io.err, ::isatty(STDERR_FILENO) == 1);
    auto download = std::make_unique<DownloadJob>(logger.model());
    download->onProgress = [&progress](qint64 received, qint64 total) {
        if (total > 0) progress.setMaximum(total);
        progress.setValue(received);
    };
    MemoryImage image;
    struct {
        DownloadResult result = DownloadResult::ReadError;
        qint64 received = 0, total = 0;
        int dataSetCount = 0, retries = 0;
    } session;
    // A port failure is said by the run; what arrived before stays in the image.
    logger.run(std::move(download), [&](DeviceJob& job) {
        auto& d = static_cast<DownloadJob&>(job);
        image = std::move(d.image());
        session = {d.result(), d.received(), d.total(), d.dataSetCount(), d.retries()};
    });
    progress.finish();
    const DownloadResult result = session.result;

    const bool keep = p.isSet(keepPartial) && image.size() > 0;
    if (LoggerPort::interrupted()) {
        io.err << "interrupted: " << session.received << " bytes had arrived" << Qt::endl;
        if (keep && writeAtomically(file, image, io)) sayWhatIsKept(image, file.fileName(), io);
        return Interrupted;
    }
    if (result == DownloadResult::ReadError) {
        io.err << "read error: " << session.received;
        if (session.total > 0)
            io.err << " of " << session.total << " bytes arrived";
        else
            io.err << " bytes arrived, before the whole memory directory";
        io.err << " (" << session.retries << " blocks refused or incomplete)" << Qt::endl;
        if (keep && writeAtomically(file, image, io)) sayWhatIsKept(image, file.fileName(), io);
        return ReadError;
    }
    DataSetCollection sets;
    switch (decodeMemoryImage(image.reader(), session.total, session.dataSetCount, sets)) {
    case DownloadResult::Ok: {
        // Archived before anything else happens to it; a file is written all the same.
        const bool archived =
            archiveRuns(p, image.reader(), sets, logger.model().code, QStringLiteral("download"), io);
        if (!writeAtomically(file, image, io)) return CannotRead;
        printDataSetList(sets, io.out);
        return archived ? Ok : CannotRead;
    }
    case DownloadResult::NoData:
        io.err << "There is not any recorded data in memory!" << Qt::endl;
        return NoData;
    default: {
        const int intact = intactDataSets(image.reader(), session.total, session.dataSetCount);
        io.err << "data error: data set " << intact + 1 << " of " << session.dataSetCount
               << " ends beyond the memory received" << Qt::endl;
        if (keep && writeAtomically(file, image, io)) sayWhatIsKept(image, file.fileName(), io);
        return DataError;
    }
    }
}

int runInfo(const QStringList& args, Io& io) {
    QCommandLineParser p;
    QString path;
    if (!parseLoggerCommand(p, args, io, path)) return BadArguments;
    LoggerPort logger(path, io);
    if (!logger.identify()) return CannotRead;
    io.out << "model: " << logger.model().code << '\n';
    const std::optional<QString> firmware = logger.firmware();
    io.out << "firmware: " << firmware.value_or(QStringLiteral("-")) << '\n';
    const bool live = logger.readLiveFrame();
    const QDateTime pc = QDateTime::currentDateTime();
    if (const std::optional<QDateTime> clock = readClock(logger)) {
        const qint64 difference = pc.secsTo(*clock);
        io.out << "logger clock: " << clockText(*clock) << '\n'
               << "clock difference: " << (difference > 0 ? "+" : "") << difference
               << " s (logger minus PC)\n";
    } else {
        io.out << "logger clock: -\n";
    }
    const std::optional<int> seconds = readIntervalSeconds(logger);
    io.out << "interval: " << (seconds ? minutesSecondsText(*seconds) : QStringLiteral("-")) << '\n';
    io.out << "unit: " << (live ? (logger.fahrenheit() ? "F" : "C") : "-") << '\n';
    io.out << "recording: " << (live ? (logger.recording() ? "yes" : "no") : "-") << '\n';
    QByteArray directory;
    logger.run(std::make_unique<SetupStartJob>(),
               [&](DeviceJob& job) { directory = static_cast<SetupStartJob&>(job).directory(); });
    if (directory.isEmpty()) {
        io.out << "data sets: -" << Qt::endl;
        io.err << "the memory directory could not be read" << Qt::endl;
        return ReadError;
    }
    const quint8 fill = logger.model().fillByte;
    io.out << "data sets: " << countDataSets(ByteReader(directory), fill) << '\n';
    printDirectoryList(directory, fill, io.out);
    return Ok;
}

int runSetClock(const QStringList& args, Io& io) {
    QCommandLineParser p;
    QString path;
    if (!parseLoggerCommand(p, args, io, path)) return BadArguments;
    LoggerPort logger(path, io);
    if (const int status = logger.readyForCommand(); status != Ok) return status;
    if (exchange(logger, SetupCommandJob::setClock(QDateTime::currentDateTime())).portFailed)
        return CannotRead;
    const std::optional<QDateTime> clock = readClock(logger);
    const QDateTime pc = QDateTime::currentDateTime();
    if (!clock || qAbs(pc.secsTo(*clock)) > kClockToleranceSeconds) {
        io.err << "the logger did not take the PC's time: its clock reads "
               << (clock ? clockText(*clock) : QStringLiteral("nothing")) << Qt::endl;
        return CannotRead;
    }
    io.out << "logger clock: " << clockText(*clock) << Qt::endl;
    return Ok;
}

int runSetUnit(const QStringList& args, Io& io) {
    QCommandLineParser p;
    QString path, unit;
    if (!parseLoggerCommand(p, args, io, path, &unit)) return BadArguments;
    unit = unit.toUpper();
    if (unit != QLatin1String("C") && unit != QLatin1String("F")) {
        io.err << "the unit is C or F" << Qt::endl;
        return BadArguments;
    }
    const bool fahrenheit = unit == QLatin1String("F");
    LoggerPort logger(path, io);
    if (const int status = logger.readyForCommand(); status != Ok) return status;
    if (exchange(logger, SetupCommandJob::setUnit(fahrenheit)).portFailed) return CannotRead;
    // The live reading shows the unit the logger now uses.
    if (!logger.readLiveFrame()) return CannotRead;
    if (logger.fahrenheit() != fahrenheit) {
        io.err << "the logger did not take the unit: it still shows " << (fahrenheit ? "C" : "F") << Qt::endl;
        return CannotRead;
    }
    io.out << "unit: " << unit << Qt::endl;
    return Ok;
}

int runSetInterval(const QStringList& args, Io& io) {
    QCommandLineParser p;
    QString path, text;
    if (!parseLoggerCommand(p, args, io, path, &text)) return BadArguments;
    const int index = intervalIndexOf(text);
    if (index < 0) {
        io.err << "the logger records at one of these intervals (MM:SS): " << intervalChoices() << Qt::endl;
        return BadArguments;
    }
    LoggerPort logger(path, io);
    if (const int status = logger.readyForCommand(); status != Ok) return status;
    if (exchange(logger, SetupCommandJob::setInterval(index)).portFailed) return CannotRead;
    const std::optional<int> seconds = readIntervalSeconds(logger);
    if (seconds != intervals::kSeconds[size_t(index)]) {
        io.err << "the logger did not take the interval: it reports "
               << (seconds ? minutesSecondsText(*seconds) : QStringLiteral("nothing")) << Qt::endl;
        return CannotRead;
    }
    io.out << "interval: " << intervals::text(index) << Qt::endl;
    return Ok;
}

int runErase(const QStringList& args, Io& io) {
    QCommandLineParser p;
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("Erase: every data set is lost."));
    p.addOption(yes);
    QString path;
    if (!parseLoggerCommand(p, args, io, path)) return BadArguments;
    // Erasing cannot be undone: the port is not even opened without --yes.
    if (!p.isSet(yes)) {
        io.err << "erase deletes every data set in the logger's memory; add --yes to erase it" << Qt::endl;
        return BadArguments;
    }
    LoggerPort logger(path, io);
    if (const int status = logger.readyForCommand(); status != Ok) return status;
    const Exchange erase = exchange(logger, SetupCommandJob::erase());
    if (erase.portFailed) return CannotRead;
    if (!eraseConfirmed(erase.reply)) {
        io.err << "the logger did not confirm the erase" << Qt::endl;
        return CannotRead;
    }
    io.out << "the logger's memory is erased" << Qt::endl;
    return Ok;
}

} // namespace tq::cli
