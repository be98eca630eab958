#include "CliSupport.h"

#include "CollectionFile.h"
#include "DataSetCollection.h"

namespace tq::cli {

const QCommandLineOption kIntact(QStringLiteral("intact"),
                                 QStringLiteral("Use the data sets before one that runs past the end."));

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
