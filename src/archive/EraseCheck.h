#pragma once

#include "DataSet.h"
#include "LoggerModel.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace tq {

class Archive;

namespace erasecheck {
// The data sets a logger's memory directory describes (start, interval,
// flags and sample count, counted as a download decodes them), up to the
// fill byte's end mark. A record with an impossible date gets start 0,
// which no archived run has.
std::vector<DataSet> directoryDataSets(const QByteArray& directory, quint8 fillByte);

// "all 4 data sets are in the archive", "2 of 4 data sets have never been
// downloaded"; empty for a memory without data sets.
QString archivedText(int archived, int total);

// The sentence the Erase question adds for this directory: the text above
// against archive, or that the archive cannot tell. Empty when there is no
// directory or it holds no data set.
QString eraseNote(Archive* archive, const QByteArray& directory, const LoggerModel& model);
// The same as a paragraph to append to the question: empty, or two line
// breaks and the sentence.
QString questionNote(Archive* archive, const QByteArray& directory, const LoggerModel& model);
} // namespace erasecheck

} // namespace tq
