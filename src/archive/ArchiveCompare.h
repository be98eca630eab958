#pragma once

#include "RunCompare.h"

namespace tq {

class Archive;

namespace compare {

// An archived run, read for comparing; false with a sentence when there is
// no such run or its readings cannot be read.
bool archiveRun(Archive& archive, qint64 id, Run& out, QString& error);

} // namespace compare
} // namespace tq
