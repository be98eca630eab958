#pragma once

#include "LoggerModel.h"
#include "Outcome.h"

#include <QString>
#include <optional>
#include <vector>

namespace tq {

class Archive;
class ByteReader;
class DataSetCollection;

// The archive the program keeps its runs in, opened on first use. One that
// cannot be opened is named in a message (once) and the program goes on
// without it.
namespace programarchive {
// --archive URL, and whether --home was given (the default file then lies
// under it). An archive open until now is closed.
void configure(const QString& commandLineUrl, bool homeGiven);
// The archive in use: --archive, else the remembered setting, else the default.
QString url();
// Null when it cannot be opened.
Archive* archive();
// Uses url from now on and remembers it; a failure (the archive in use
// stays) says why it cannot be opened or remembered.
Outcome switchTo(const QString& url);

// Keeps the runs of a decoded download or file (no model: a file) at once;
// a failure is named in a message and nothing else changes.
void keep(const ByteReader& image, const DataSetCollection& decoded, const std::optional<LoggerModel>& model,
          const QString& source);

// Runs deleted in the window: hidden now, gone when the program ends unless
// undone first.
void deleted(const std::vector<qint64>& ids);
bool canUndo();
// Brings back the last runs deleted; false when the archive refused.
bool undoDelete();
// Deletes for good what is still deleted and closes the archive.
void close();
} // namespace programarchive

} // namespace tq
