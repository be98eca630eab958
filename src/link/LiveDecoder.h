#pragma once

#include "LcdState.h"
#include "LoggerLink.h"

#include <QByteArray>

namespace tq {

// One decoded live frame.
struct LiveReading {
    qint16 primary = 0;
    qint16 secondary = 0; // model 862 only
    qint8 batteryBars = 0;
    qint8 memoryBars = 0;
    quint8 status = 0;
};

// Status byte bits.
constexpr quint8 kStatusCelsius = 0x01;
constexpr quint8 kStatusFahrenheit = 0x02;
constexpr quint8 kStatusRecording = 0x08;

// Payload = the frame without its start and end marks (frameLength - 2
// bytes). A payload too short for the model gives false.
bool parseLiveReading(const QByteArray& payload, const LoggerModel& model, LiveReading& out);

// Turns a reading into the LCD state and updates unitCelsius and recording.
// Codes 0 of the state is left as it was.
void applyLiveReading(const LiveReading& r, const LoggerModel& model, LcdState& lcd, LoggerLink& link);

// Decode for model 860 or 862 (any other model: nothing happens).
void decodeLiveFrame(const QByteArray& payload, LcdState& lcd, LoggerLink& link);

// Digit codes 1..6 for a displayed count (sign and leading blanking).
void digitsFromCount(qint16 count, LcdState& lcd);

} // namespace tq
