#pragma once

#include "Outcome.h"
#include "RunCompare.h"

namespace tq {

class Archive;

namespace compare {

// An archived run, read for comparing; a sentence says so when there is no
// such run, it holds no readings or they cannot be read.
Result<Run> archiveRun(Archive& archive, qint64 id);

} // namespace compare
} // namespace tq
