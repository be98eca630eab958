#pragma once

#include <QDateTime>
#include <QVector>
#include <QtGlobal>

namespace tq::sim {

// One recording run as the logger keeps it: start, interval, unit flags
// (bit 0 = values in F) and the samples in tenths of a degree.
struct SimDataSet {
    QDateTime start;
    int intervalSeconds = 2;
    quint8 flags = 0;
    QVector<qint16> samples;
};

// What the logger's display shows; sent as the live frame.
struct LiveState {
    qint16 primary = 234;   // tenths of a degree
    qint16 secondary = 456; // tenths of a percent (model 862 only)
    qint8 batteryBars = 4;
    qint8 memoryBars = 2;
    quint8 status = 0x01; // bit 0 = C, bit 1 = F, bit 3 = recording
};

namespace status {
constexpr quint8 kCelsius = 0x01;
constexpr quint8 kFahrenheit = 0x02;
constexpr quint8 kRecording = 0x08;
} // namespace status

} // namespace tq::sim
