// tq880-cli list and export: the data sets of a collection file.

#include "Cli.h"
#include "CollectionFile.h"
#include "DataSetCollection.h"
#include "DataSetList.h"
#include "Progress.h"
#include "Regional.h"
#include "TextFile.h"

#include <QCommandLineParser>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace tq::cli {

namespace {

// Reads and decodes FILE.880 into collection; reports what failed and returns its status.
int loadCollection(const QString& fileName, bool intactOnly, DataSetCollection& collection, Io& io) {
    QByteArray bytes;
    QString error;
    if (!collection::readCollectionFile(fileName, bytes, error)) {
        io.err << error << Qt::endl;
        return CannotRead;
    }
    collection::CollectionDecode d = collection::decodeCollection(bytes, collection);
    if (d.result == DownloadResult::DataError && intactOnly && d.intact > 0)
        d = collection::decodeCollection(bytes, collection, d.intact);
    switch (d.result) {
    case DownloadResult::Ok:
        return Ok;
    case DownloadResult::NoData:
        io.err << fileName << ": no data set" << Qt::endl;
        return NoData;
    default:
        io.err << fileName << ": data set " << d.intact + 1 << " ends beyond the end of the file";
        if (d.intact > 0) io.err << " (--intact uses the " << d.intact << " before it)";
        io.err << Qt::endl;
        return DataError;
    }
}

bool parse(QCommandLineParser& p, const QStringList& args, Io& io, int positional) {
    if (!p.parse(QStringList{QStringLiteral("tq880-cli")} + args)) {
        io.err << p.errorText() << Qt::endl;
        return false;
    }
    if (p.positionalArguments().size() != positional) {
        io.err << "expected " << positional << " file name(s), got " << p.positionalArguments().size()
               << Qt::endl;
        return false;
    }
    return true;
}

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

const QCommandLineOption kIntact(QStringLiteral("intact"),
                                 QStringLiteral("Use the data sets before one that runs past the end."));

} // namespace

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
    const QCommandLineOption format(QStringLiteral("format"), QStringLiteral("txt or csv."),
                                    QStringLiteral("F"));
    const QCommandLineOption locale(QStringLiteral("locale"), QStringLiteral("Regional formats, e.g. de_DE."),
                                    QStringLiteral("NAME"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("File to write (standard output without)."),
                                    QStringLiteral("OUT"));
    p.addOptions({set, format, locale, output, kIntact});
    if (!parse(p, args, io, 1)) return BadArguments;

    bool ok = false;
    const int k = p.value(set).toInt(&ok);
    if (!p.isSet(set) || !ok || k < 1) {
        io.err << "--set takes a data set number from 1" << Qt::endl;
        return BadArguments;
    }
    const QString fmt = p.value(format).toLower();
    if (fmt != QLatin1String("txt") && fmt != QLatin1String("csv")) {
        io.err << "--format takes txt or csv" << Qt::endl;
        return BadArguments;
    }
    QLocale regional;
    if (p.isSet(locale)) {
        const QString name = p.value(locale);
        regional = QLocale(name);
        const bool isC = name == QLatin1String("C") || name == QLatin1String("POSIX");
        if (regional == QLocale::c() && !isC) {
            io.err << "unknown locale \"" << name << "\"" << Qt::endl;
            return BadArguments;
        }
    }

    DataSetCollection collection;
    if (const int status = loadCollection(p.positionalArguments().first(), p.isSet(kIntact), collection, io))
        return status;
    if (k > collection.count()) {
        io.err << "there is no data set " << k << "; the file holds " << collection.count() << Qt::endl;
        return BadArguments;
    }
    const SampleSlice slice = collection.slice(k - 1);
    const SliceSource source(slice);
    const QChar sep = fmt == QLatin1String("txt") ? textfile::kTab : textfile::kComma;
    NoProgress progress;
    const RegionalFormats formats(regional);
    try {
        if (p.isSet(output)) {
            const QString name = p.value(output);
            QSaveFile file(name);
            if (!file.open(QIODevice::WriteOnly)) {
                io.err << "cannot create " << name << ": " << file.errorString() << Qt::endl;
                return CannotRead;
            }
            writeTextLines(file, source, sep, 1, slice.count, progress, formats, name);
            if (!file.commit()) {
                io.err << "cannot write " << name << ": " << file.errorString() << Qt::endl;
                return CannotRead;
            }
        } else {
            io.out.flush();
            QFile out;
            if (!out.open(stdout, QIODevice::WriteOnly)) return CannotRead;
            writeTextLines(out, source, sep, 1, slice.count, progress, formats,
                           QStringLiteral("standard output"));
        }
    } catch (const std::exception& e) {
        io.err << e.what() << Qt::endl;
        return CannotRead;
    }
    return Ok;
}

} // namespace tq::cli
