#pragma once

// Where the runs of a comparison come from: the data sets of a collection
// file, a single data set file (.ghf, .txt, .csv, the self-describing CSV),
// or the archive (by id; read by whoever holds the archive). Here because a
// graph file is a chart's state, read back through a chart.

#include "RunCompare.h"

namespace tq::compare {

// A RUN argument: FILE.880:K, FILE.ghf|.txt|.csv or archive:ID.
struct RunArgument {
    enum class Kind { Collection, SingleFile, Archive };
    Kind kind = Kind::SingleFile;
    QString file;
    int dataSet = 0; // from 1
    qint64 archiveId = 0;
};
// False with a sentence saying what is wrong with text.
bool parseRunArgument(const QString& text, RunArgument& out, QString& error);

// The data sets of a collection that hold samples (one, from 1, or all
// with dataSet 0), sharing the collection's readings.
std::vector<Run> collectionRuns(const DataSetCollection& collection, const QString& source, int dataSet = 0);

// Reads a file's runs: every data set with samples of a .880 (or only
// dataSet, from 1), or the one run of a single data set file. False with a
// sentence naming the file when it cannot be read, or the data set is not
// there or empty.
bool loadFileRuns(const QString& fileName, int dataSet, std::vector<Run>& out, QString& error);

} // namespace tq::compare
