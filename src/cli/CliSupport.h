#pragma once

#include "Cli.h"
#include "CollectionFile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QLocale>

#include <optional>

class QIODevice;

namespace tq {

class DataSetCollection;
class RegionalFormats;
struct DataSet;
struct SampleSlice;

namespace cli {

// What the commands on collection files share: reading and decoding the
// file, the arguments, the data set number and the locale.
extern const QCommandLineOption kIntact;
// The options of an export: --format, --locale and -o.
extern const QCommandLineOption kExportFormat;
extern const QCommandLineOption kExportLocale;
extern const QCommandLineOption kExportOutput;

// What --intact uses of a damaged file ("the 2 data set(s) before it and
// the first 40 sample(s) of it"), empty when nothing.
QString usableText(const collection::CollectionDecode& d);
// Reads and decodes FILE.880 into collection (with intactOnly, what a
// damaged one holds whole); reports what failed and returns its status.
int loadCollection(const QString& fileName, bool intactOnly, DataSetCollection& collection, Io& io);
// Parses args with p; false (after saying why) unless exactly `positional` file names are given.
bool parse(QCommandLineParser& p, const QStringList& args, Io& io, int positional);
// --set K: a number from 1, or 0 after saying why; then whether the file
// holds data set k (saying so when not).
int dataSetNumber(const QCommandLineParser& p, const QCommandLineOption& set, Io& io);
bool dataSetExists(int k, int count, Io& io);
// Whether data set k (from 1) holds samples, saying so when not: nothing
// is made of an empty one.
bool dataSetHasSamples(const DataSetCollection& collection, int k, Io& io);
// --locale NAME, or the system's; false for a name no locale has.
// A number option (a limit, an energy) that was given: false, said, when it is no number.
bool numberOf(const QCommandLineParser& p, const QCommandLineOption& o, std::optional<double>& out, Io& io);
bool localeOf(const QCommandLineParser& p, const QCommandLineOption& locale, QLocale& out, Io& io);
// --format and --locale of an export: false, having said why, for an
// unknown format, an unknown locale, or csv with a decimal comma.
bool exportFormat(const QCommandLineParser& p, const QCommandLineOption& format,
                  const QCommandLineOption& locale, QString& fmt, QLocale& regional, Io& io);
// Writes a data set in one of the export formats (txt, csv, iso-csv) to the
// file of -o, whole or not at all, or to standard output; the exit status.
int writeExport(const QCommandLineParser& p, const QCommandLineOption& output, const QString& fmt,
                const DataSet& set, const SampleSlice& slice, const QLocale& regional, Io& io);

} // namespace cli
} // namespace tq
