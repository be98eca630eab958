#pragma once

#include "Cli.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <memory>

namespace tq {

class Archive;
class ByteReader;
class DataSetCollection;

namespace cli {

// --archive URL (default: the archive the program uses), --home DIR (the
// program folder, as the program's own option), --no-archive (download).
extern const QCommandLineOption kArchive;
extern const QCommandLineOption kHome;
extern const QCommandLineOption kNoArchive;

// Opens the archive the options name; null after saying why.
std::unique_ptr<Archive> openArchive(const QCommandLineParser& p, Io& io);
// Keeps the runs of a decoded memory in the archive unless --no-archive
// was given; false after saying why.
bool archiveRuns(const QCommandLineParser& p, const ByteReader& image, const DataSetCollection& sets,
                 int model, const QString& source, Io& io);

} // namespace cli
} // namespace tq
