#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace tq {

// What differs between the two logger models.
struct LoggerModel {
    int code;
    int frameLength;      // live frame, start and end byte included
    int livePayload;      // live frame bytes between start and end mark that are decoded
    quint8 fillByte;      // marks unused memory directory records
    int seriesCount;      // series in a graph: temperature, and humidity on the 862
    int sampleSize;       // bytes per sample as the logger counts its memory
    int firstDataAddress; // where the logger's own count of samples starts

    bool operator==(const LoggerModel&) const = default;
};

inline constexpr LoggerModel kModel860{860, 8, 5, 0xFF, 1, 2, 256};
inline constexpr LoggerModel kModel862{862, 10, 7, 0x00, 2, 4, 320};
inline constexpr LoggerModel kLoggerModels[] = {kModel860, kModel862};

// The model a code names; none for a code no logger model has. Codes that
// come from outside (a reply, a stored row, an option) go through this, so
// an unknown one is refused where it arrives instead of passing for an 860.
inline std::optional<LoggerModel> findLoggerModel(int code) {
    for (const LoggerModel& m : kLoggerModels)
        if (m.code == code) return m;
    return std::nullopt;
}

// Why a code from outside is refused.
inline QString unknownModelText(int code) {
    return QStringLiteral("logger model %1 is not one this program knows (860 or 862)").arg(code);
}

// For a code already checked where it arrived: any other code still gives
// the 860. Code that holds a model carries the LoggerModel instead.
inline const LoggerModel& loggerModel(int code) {
    return code == kModel862.code ? kModel862 : kModel860;
}

} // namespace tq
