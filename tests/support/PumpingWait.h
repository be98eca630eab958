#pragma once

#include <functional>

namespace tq {

// For tests: waits ms milliseconds while the event loop keeps running, so timer ticks,
// received bytes and clicks are handled meanwhile. Sleeps in the event loop;
// never spins. Returns false when the wait was cut short because the
// program is ending (its event loops were told to quit): from then on every
// wait returns at once, so the caller should give up instead of waiting on.
bool pumpingWait(int ms);

// Waits while busy() is true, handling events, with no time limit unless
// ms >= 0. Returns true when busy() cleared; false on time-out or when the
// program is ending.
bool pumpingWaitWhile(const std::function<bool()>& busy, int ms = -1);

} // namespace tq
