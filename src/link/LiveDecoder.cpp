#include "LiveDecoder.h"

#include <cstdio>

namespace tq {

namespace {
qint16 le16(const QByteArray& b, int at) {
    return static_cast<qint16>(static_cast<quint8>(b.at(at)) | (static_cast<quint8>(b.at(at + 1)) << 8));
}
constexpr SegmentMask kAlwaysOn = 0x00009100; // MEM label, decimal point, battery outline
constexpr int kBitMinus = 9;
constexpr int kBitRec = 11;
constexpr int kBitC = 13;
constexpr int kBitF = 14;

void setBit(SegmentMask& m, int bit) {
    if (bit >= 0 && bit < 32) m |= SegmentMask(1) << bit;
}
} // namespace

bool parseLiveReading(const QByteArray& payload, int model, LiveReading& out) {
    if (model == 860) {
        if (payload.size() < 5) return false;
        out.primary = le16(payload, 0);
        out.secondary = 0;
        out.batteryBars = static_cast<qint8>(payload.at(2));
        out.memoryBars = static_cast<qint8>(payload.at(3));
        out.status = static_cast<quint8>(payload.at(4));
        return true;
    }
    if (model == 862) {
        if (payload.size() < 7) return false;
        out.primary = le16(payload, 0);
        out.secondary = le16(payload, 2);
        out.batteryBars = static_cast<qint8>(payload.at(4));
        out.memoryBars = static_cast<qint8>(payload.at(5));
        out.status = static_cast<quint8>(payload.at(6));
        return true;
    }
    return false;
}

void digitsFromCount(qint16 count, LcdState& lcd) {
    int m = count;
    if (count < 0) {
        setBit(lcd.segmentMask, kBitMinus);
        // Negated as a 16-bit number: -32768 stays -32768.
        m = static_cast<qint16>(-static_cast<int>(count));
    }
    char text[16];
    std::snprintf(text, sizeof text, "%+.5d", m);
    for (int k = 1; k <= 6; ++k)
        lcd.digitCodes[k] = static_cast<quint8>(text[k - 1]) & 0x0F;
    if (lcd.digitCodes[3] == 0) {
        lcd.digitCodes[3] = kBlankGlyph;
        if (lcd.digitCodes[4] == 0) lcd.digitCodes[4] = kBlankGlyph;
    }
}

void applyLiveReading(const LiveReading& r, int model, LcdState& lcd, LoggerLink& link) {
    lcd.segmentMask = kAlwaysOn;
    // Counts beyond the LCD's steps are used as they come, but never reach
    // outside the 32-bit mask.
    for (int k = r.batteryBars; k >= 1; --k)
        setBit(lcd.segmentMask, 21 - k);
    for (int k = r.memoryBars; k >= 1; --k)
        setBit(lcd.segmentMask, k - 1);
    if (r.status & kStatusCelsius) {
        link.unitCelsius = true;
        setBit(lcd.segmentMask, kBitC);
    }
    if (r.status & kStatusFahrenheit) {
        link.unitCelsius = false;
        setBit(lcd.segmentMask, kBitF);
    }
    if (r.status & kStatusRecording) {
        setBit(lcd.segmentMask, kBitRec);
        link.recording = true;
    } else {
        link.recording = false;
    }
    // Model 862 shows humidity when the logger shows no unit mark.
    const bool showPrimary = model != 862 || (r.status & (kStatusCelsius | kStatusFahrenheit));
    digitsFromCount(showPrimary ? r.primary : r.secondary, lcd);
}

void decodeLiveFrame(const QByteArray& payload, LcdState& lcd, LoggerLink& link) {
    LiveReading r;
    if (!parseLiveReading(payload, link.modelCode, r)) return;
    applyLiveReading(r, link.modelCode, lcd, link);
}

} // namespace tq
