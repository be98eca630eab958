#include "PtyNumbers.h"

#include <deque>
#include <mutex>
#include <unistd.h>

namespace tq::sim {

namespace {
// Well below any descriptor limit, and minutes of tests' worth of ptys.
constexpr std::size_t kKept = 256;
} // namespace

void holdPtyNumber(int slaveFd) {
    if (slaveFd < 0) return;
    static std::mutex mutex;
    static std::deque<int> held;
    std::lock_guard lock(mutex);
    held.push_back(slaveFd);
    if (held.size() > kKept) {
        ::close(held.front());
        held.pop_front();
    }
}

} // namespace tq::sim
