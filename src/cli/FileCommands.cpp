// tq880-cli list and export: the data sets of a collection file; paths: where the program keeps its files.

#include "AppPaths.h"
#include "Cli.h"
#include "CliSupport.h"
#include "CollectionFile.h"
#include "DataSetCollection.h"
#include "DataSetList.h"
#include "IsoCsvFile.h"
#include "Progress.h"
#include "Regional.h"
#include "TextFile.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace tq::cli {

namespace {

class SliceSource : public PointSource {
  public:
    explicit SliceSource(const SampleSlice& s) : m_s(s) {}
    double x(qint64 i) const override { return i >= 0 && i < m_s.count ? m_s.times[i] : 0.0; }
    float y(qint64 i) const override {
        return i >= 0 && i < m_s.count ? m_s.values[i] : textfile::kNullValue;
    }

  private:
    SampleSlice m_s;
};

} // namespace

namespace {
void writeExportTo(QIODevice& out, const QString& fmt, const DataSet& set, const SampleSlice& slice,
                   const RegionalFormats& formats, const QString& what) {
    const SliceSource source(slice);
    NoProgress progress;
    if (fmt == QLatin1String("iso-csv")) {
        isocsv::write(out, source, set.fahrenheit() ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius,
                      1, slice.count, progress, what);
        return;
    }
    const QChar sep = fmt == QLatin1String("txt") ? textfile::kTab : textfile::kComma;
    writeTextLines(out, source, sep, 1, slice.count, progress, formats, what);
}
} // namespace

bool exportFormat(const QCommandLineParser& p, const QCommandLineOption& format,
                  const QCommandLineOption& locale, QString& fmt, QLocale& regional, Io& io) {
    fmt = p.value(format).toLower();
    if (fmt != QLatin1String("txt") && fmt != QLatin1String("csv") && fmt != QLatin1String("iso-csv")) {
        io.err << "--format takes txt, csv or iso-csv" << Qt::endl;
        return false;
    }
    if (!localeOf(p, locale, regional, io)) return false;
    // A decimal comma inside comma-separated fields splits every value in two.
    if (fmt == QLatin1String("csv") && RegionalFormats(regional).decimal() == QLatin1Char(',')) {
        io.err << "--format csv cannot be written with the decimal comma of " << regional.name()
               << ": use --format txt (separated by tabs) or --format iso-csv (a decimal point)" << Qt::endl;
        return false;
    }
    return true;
}

int writeExport(const QCommandLineParser& p, const QCommandLineOption& output, const QString& fmt,
                const DataSet& set, const SampleSlice& slice, const QLocale& regional, Io& io) {
    const RegionalFormats formats(regional);
    try {
        if (p.isSet(output)) {
            const QString name = p.value(output);
            QSaveFile file(name);
            if (!file.open(QIODevice::WriteOnly)) {
                io.err << "cannot create " << name << ": " << file.errorString() << Qt::endl;
                return CannotRead;
            }
            writeExportTo(file, fmt, set, slice, formats, name);
            if (!file.commit()) {
                io.err << "cannot write " << name << ": " << file.errorString() << Qt::endl;
                return CannotRead;
            }
        } else {
            io.out.flush();
            QFile out;
            if (!out.open(stdout, QIODevice::WriteOnly)) return CannotRead;
            writeExportTo(out, fmt, set, slice, formats, QStringLiteral("standard output"));
        }
    } catch (const std::exception& e) {
        io.err << e.what() << Qt::endl;
        return CannotRead;
    }
    return Ok;
}

int runList(const QStringList& args, Io& io) {
    QCommandLineParser p;
    p.addOption(kIntact);
    if (!parse(p, args, io, 1)) return BadArguments;
    DataSetCollection collection;
    if (const int status = loadCollection(p.positionalArguments().first(), p.isSet(kIntact), collection, io))
        return status;
    printDataSetList(collection, io.out);
    return Ok;
}

int runExport(const QStringList& args, Io& io) {
    QCommandLineParser p;
    const QCommandLineOption set(QStringLiteral("set"), QStringLiteral("Data set, from 1."),
                                 QStringLiteral("K"));
    const QCommandLineOption& format = kExportFormat;
    const QCommandLineOption& locale = kExportLocale;
    const QCommandLineOption& output = kExportOutput;
    p.addOptions({set, format, locale, output, kIntact});
    if (!parse(p, args, io, 1)) return BadArguments;

    const int k = dataSetNumber(p, set, io);
    if (k == 0) return BadArguments;
    QString fmt;
    QLocale regional;
    if (!exportFormat(p, format, locale, fmt, regional, io)) return BadArguments;

    DataSetCollection collection;
    if (const int status = loadCollection(p.positionalArguments().first(), p.isSet(kIntact), collection, io))
        return status;
    if (!dataSetExists(k, collection.count(), io)) return BadArguments;
    if (!dataSetHasSamples(collection, k, io)) return NoData;
    const DataSet& dataSet = collection.dataSet(k - 1);
    const SampleSlice slice = collection.slice(k - 1);
    return writeExport(p, output, fmt, dataSet, slice, regional, io);
}

int runPaths(const QStringList& args, Io& io) {
    QCommandLineParser p;
    if (!parse(p, args, io, 0)) return BadArguments;
    // Settled as the program settles it at start-up, so the working copy named is the one it writes.
    const QString data = AppPaths::settleDataFolder();
    io.out << "program folder\t" << AppPaths::programFolder() << '\n'
           << "data folder\t" << (data.isEmpty() ? QStringLiteral("-") : data) << '\n'
           << "settings\t" << AppPaths::settingsFile() << '\n'
           << "graph template\t" << AppPaths::templateFile() << '\n'
           << "working copy\t" << collection::workingCopyPath() << '\n'
           << "help page\t" << AppPaths::helpFile() << Qt::endl;
    return Ok;
}

} // namespace tq::cli
