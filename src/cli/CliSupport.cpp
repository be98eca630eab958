#include "CliSupport.h"

#include <cmath>

#include "CollectionFile.h"
#include "DataSetCollection.h"

namespace tq::cli {

const QCommandLineOption kIntact(QStringLiteral("intact"),
                                 QStringLiteral("Use the data sets before one that runs past the end, and "
                                                "of that one the samples the file holds."));
const QCommandLineOption kExportFormat(QStringLiteral("format"), QStringLiteral("txt, csv or iso-csv."),
                                       QStringLiteral("F"));
const QCommandLineOption kExportLocale(QStringLiteral("locale"),
                                       QStringLiteral("Regional formats, e.g. de_DE."),
                                       QStringLiteral("NAME"));
const QCommandLineOption kExportOutput(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                       QStringLiteral("File to write (standard output without)."),
                                       QStringLiteral("OUT"));

QString usableText(const collection::CollectionDecode& d) {
    QString text;
    if (d.intact > 0) text = QStringLiteral("the %1 data set(s) before it").arg(d.intact);
    if (d.cutSamples > 0)
        text += (text.isEmpty() ? QString() : QStringLiteral(" and ")) +
                QStringLiteral("the first %1 sample(s) of it").arg(d.cutSamples);
    return text;
}

int loadCollection(const QString& fileName, bool intactOnly, DataSetCollection& collection, Io& io) {
    const Result<QByteArray> read = collection::readCollectionFile(fileName);
    if (!read.ok()) {
        io.err << read.outcome().text << Qt::endl;
        return CannotRead;
    }
    const QByteArray& bytes = read.value();
    const collection::CollectionDecode d = collection::decodeCollection(bytes, collection);
    switch (d.result) {
    case DownloadResult::Ok:
        return Ok;
    case DownloadResult::NoData:
        io.err << fileName << ": no data set" << Qt::endl;
        return NoData;
    default:
        break;
    }
    const QString usable = usableText(d);
    io.err << fileName << ": data set " << d.intact + 1 << " ends beyond the end of the file";
    if (!intactOnly || usable.isEmpty()) {
        if (!usable.isEmpty()) io.err << " (--intact uses " << usable << ")";
        io.err << Qt::endl;
        return DataError;
    }
    io.err << "; using " << usable << Qt::endl;
    return collection::decodeUsable(bytes, d, collection) == DownloadResult::Ok ? Ok : DataError;
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

int dataSetNumber(const QCommandLineParser& p, const QCommandLineOption& set, Io& io) {
    bool ok = false;
    const int k = p.value(set).toInt(&ok);
    if (!p.isSet(set) || !ok || k < 1) {
        io.err << "--set takes a data set number from 1" << Qt::endl;
        return 0;
    }
    return k;
}

bool dataSetExists(int k, int count, Io& io) {
    if (k <= count) return true;
    io.err << "there is no data set " << k << "; the file holds " << count << Qt::endl;
    return false;
}

bool dataSetHasSamples(const DataSetCollection& collection, int k, Io& io) {
    if (collection.dataSet(k - 1).sampleCount > 0) return true;
    io.err << "data set " << k << " holds no samples; nothing was written" << Qt::endl;
    return false;
}

bool numberOf(const QCommandLineParser& p, const QCommandLineOption& o, std::optional<double>& out, Io& io) {
    if (!p.isSet(o)) return true;
    bool ok = false;
    const double v = p.value(o).toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        io.err << "--" << o.names().constFirst() << " takes a number with a point, e.g. 8.5" << Qt::endl;
        return false;
    }
    out = v;
    return true;
}

bool localeOf(const QCommandLineParser& p, const QCommandLineOption& locale, QLocale& out, Io& io) {
    out = QLocale();
    if (!p.isSet(locale)) return true;
    const QString name = p.value(locale);
    out = QLocale(name);
    const bool isC = name == QLatin1String("C") || name == QLatin1String("POSIX");
    if (out == QLocale::c() && !isC) {
        io.err << "unknown locale \"" << name << "\"" << Qt::endl;
        return false;
    }
    return true;
}

} // namespace tq::cli
