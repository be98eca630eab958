#pragma once

#include "BlockTransfer.h"

#include <functional>

namespace tq {

class TComPort;

// Runs a block transfer over port until it is done: sleeps in the port's
// wait for input (at most maxSleepMs at a time), feeds what arrived and the
// time to the machine and writes its answers. The request must have been
// sent just before. afterStep runs after every step with the step's answer
// and whether maxSleepMs passed since it last ran; false ends the transfer
// early. Port errors raise through the port.
void runBlockTransfer(TComPort& port, BlockTransfer& transfer, int maxSleepMs,
                      const std::function<bool(const BlockTransfer::Answer&, bool sliceOver)>& afterStep);

} // namespace tq
