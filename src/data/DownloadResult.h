#pragma once

namespace tq {

// Outcome of reading and decoding a logger memory; the numbers are those the
// program has always used for them.
enum class DownloadResult { Ok = 0, DataError = 1, MemoryError = 2, ReadError = 3, NoData = 6 };

} // namespace tq
