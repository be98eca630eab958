#pragma once

#include <QByteArray>
#include <QList>

namespace tq {

// Cuts every complete live frame (0xEF, frameLength - 2 payload bytes, 0xFE)
// out of the front of buffer and returns their payloads in order. Garbage
// is dropped up to the next 0xEF; a 0xEF without its end mark at the right
// distance is dropped by itself and the scan goes on. Fewer than
// frameLength bytes stay for the next call.
QList<QByteArray> cutFrames(QByteArray& buffer, int frameLength);

} // namespace tq
