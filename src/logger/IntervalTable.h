#pragma once

#include <QString>
#include <array>

namespace tq {

// The logger's sampling intervals. The set command sends an entry's index;
// the read command answers with its seconds.
namespace intervals {
inline constexpr std::array<int, 14> kSeconds = {1,  2,   5,   10,  15,   20,   30,
                                                 60, 120, 300, 600, 1200, 1800, 3600};
inline constexpr int kCount = int(kSeconds.size());
// The entry selected before the logger has answered.
inline constexpr int kDefaultIndex = 1;

// "mm:ss" of entry index, as the interval list shows it.
QString text(int index);
// The entry of a number of seconds; 0 when the table does not hold it.
int indexOfSeconds(int seconds);
} // namespace intervals

} // namespace tq
