#include "IntervalTable.h"

#include "Regional.h"

#include <algorithm>

namespace tq::intervals {

QString text(int index) {
    return index >= 0 && index < kCount ? minutesSecondsText(kSeconds[size_t(index)]) : QString();
}

int indexOfSeconds(int seconds) {
    const auto it = std::find(kSeconds.begin(), kSeconds.end(), seconds);
    return it == kSeconds.end() ? 0 : int(it - kSeconds.begin());
}

} // namespace tq::intervals
