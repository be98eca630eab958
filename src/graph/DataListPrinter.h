#pragma once

#include "PrintLayout.h"

#include <QStringList>

#include <functional>

class QAbstractItemModel;
class QPrinter;

namespace tq {

class DataListModel;

// Line height and lines per page for the data list on this printer's page.
TextPageLayout dataListLayout(QPrinter& printer);

// Prints a data list as plain text lines: the header row (the model's
// horizontal headings) once at the top, then one line per row, column 0
// (the running number) left out. Returns false when the print job could
// not be started.
bool printDataList(QPrinter& printer, const QAbstractItemModel& list);
// The same for a graph window's data list: every reading, not only the
// ones on screen.
bool printDataList(QPrinter& printer, const DataListModel& list);
// The text of a cell by row and column.
using ListCell = std::function<QString(int row, int column)>;
bool printDataList(QPrinter& printer, const QStringList& headings, int rows, const ListCell& cell);

} // namespace tq
