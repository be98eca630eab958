#pragma once

#include <QTextStream>

namespace tq {

class DataSetCollection;

namespace cli {
// One line per data set: number, start date (yyyy-MM-dd), start time,
// rate mm:ss, sample count, unit letter; TAB-separated.
void printDataSetList(const DataSetCollection& collection, QTextStream& out);
} // namespace cli

} // namespace tq
