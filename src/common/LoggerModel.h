#pragma once

#include <QtGlobal>

namespace tq {

// What differs between the two logger models; every model code other than
// 862 behaves as the temperature-only 860.
struct LoggerModel {
    int code;
    int frameLength;      // live frame, start and end byte included
    int livePayload;      // live frame bytes between start and end mark that are decoded
    quint8 fillByte;      // marks unused memory directory records
    int seriesCount;      // series in a graph: temperature, and humidity on the 862
    int sampleSize;       // bytes per sample as the logger counts its memory
    int firstDataAddress; // where the logger's own count of samples starts
};

inline constexpr LoggerModel kModel860{860, 8, 5, 0xFF, 1, 2, 256};
inline constexpr LoggerModel kModel862{862, 10, 7, 0x00, 2, 4, 320};

inline const LoggerModel& loggerModel(int code) {
    return code == kModel862.code ? kModel862 : kModel860;
}

} // namespace tq
