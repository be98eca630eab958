#pragma once

#include <QByteArray>
#include <QTextStream>

namespace tq {

class DataSetCollection;

namespace cli {
// One line per data set: number, start date (yyyy-MM-dd), start time,
// rate mm:ss, sample count, unit letter; TAB-separated.
void printDataSetList(const DataSetCollection& collection, QTextStream& out);

// The same lines from a memory directory alone (the first 256 bytes, as the
// setup dialog reads them), with the records counted up to the fill byte's
// end mark and the samples counted as a download decodes them. An
// impossible start date shows as "-". Answers the number of data sets.
int printDirectoryList(const QByteArray& directory, quint8 fillByte, QTextStream& out);
} // namespace cli

} // namespace tq
