#pragma once

#include "PrintLayout.h"

class QAbstractItemModel;
class QPrinter;

namespace tq {

// Line height and lines per page for the data list on this printer's page.
TextPageLayout dataListLayout(QPrinter& printer);

// Prints a data list as plain text lines: the header row (the model's
// horizontal headings) once at the top, then one line per row, column 0
// (the running number) left out. Returns false when the print job could
// not be started.
bool printDataList(QPrinter& printer, const QAbstractItemModel& list);

} // namespace tq
