#pragma once

// Graph files (.ghf, and the graph template): a 4-byte little-endian length
// N followed by N bytes of the chart's saved state. Nothing else.

#include "Outcome.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace tq {

class Chart;

// Writes the framed block through QSaveFile: on failure the previous file
// stays as it was, and the outcome says what failed.
[[nodiscard]] Outcome writeGraphFile(const QString& fileName, const QByteArray& stateBlock);
// Reads the block of a graph file. A length field that claims more bytes
// than the file holds is an error, never an allocation. A folder or a named
// pipe is refused before it is opened. Throws UserError.
QByteArray readGraphFile(const QString& fileName);
// The same from an open device; name is the file as the messages call it.
// The block grows with the bytes that really arrive, so a lying length
// field allocates nothing even on a device of unknown size.
QByteArray readGraphFile(QIODevice& in, const QString& name);

// The chart's whole state to a graph file.
[[nodiscard]] Outcome SaveGraphFile(const Chart& chart, const QString& fileName);
// Replaces the chart's state with the file's; on any failure the chart is
// unchanged and the outcome says why.
[[nodiscard]] Outcome LoadGraphFile(Chart& chart, const QString& fileName);

} // namespace tq
