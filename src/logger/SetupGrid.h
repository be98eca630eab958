#pragma once

#include "LoggerModel.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace tq {

// One row of the setup dialog's data set grid.
struct SetupGridRow {
    bool used = false;   // the record lies before the directory's end mark
    QString date;        // regional short date, "empty" when unused or impossible
    QString time;        // regional long time, empty when unused or impossible
    QString sampleCount; // empty when unused
};

namespace setupgrid {
constexpr int kRows = 15;
inline const QString kEmpty = QStringLiteral("empty");
} // namespace setupgrid

// The 15 rows the grid shows for a directory (the first 256 bytes of the
// memory) of a logger of that model. Records count from record 1 up to the
// first whose end address bytes all equal the model's fill byte. The number
// of samples is the logger's own: the distance from the previous end
// address (the model's first data address for record 1) in samples of the
// model's size; never below 0. A record with an impossible start keeps
// "empty" but shows its count. A directory shorter than 256 bytes shows
// every row unused.
QVector<SetupGridRow> setupGridRows(const QByteArray& directory, const LoggerModel& model);

// Rows shown before the directory is in, and after an erase.
QVector<SetupGridRow> unusedGridRows();

// The rows in use (they come first).
int usedRows(const QVector<SetupGridRow>& rows);

} // namespace tq
