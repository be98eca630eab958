#pragma once

#include "CommandContext.h"
#include "RunCompare.h"

class QMainWindow;

namespace tq {

class TfrmCompare;

// Data Compare: the compare window, opened with runs from the open
// collection, from files or from the archive.
namespace comparecommand {
// A compare window in the work area showing these runs.
TfrmCompare* open(const CommandContext& context, const std::vector<compare::Run>& runs);
// Archived runs by id; one that cannot be read is named in a message and left out.
std::vector<compare::Run> archiveRuns(const std::vector<qint64>& ids);
// The open collection's data sets (from 0) that hold samples.
std::vector<compare::Run> collectionRuns(const std::vector<int>& dataSets);
} // namespace comparecommand

// The Data Compare menu item and tool button; the DataLogger window's
// Compare on its data set list.
void addCompareCommand(QMainWindow* main, const CommandContext& context);

} // namespace tq
