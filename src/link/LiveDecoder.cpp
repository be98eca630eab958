#include "LiveDecoder.h"

#include "ByteReader.h"
#include "LoggerModel.h"

#include <cstdio>

namespace tq {

namespace {
constexpr SegmentMask kAlwaysOn = 0x00009100; // MEM label, decimal point, battery outline
constexpr int kBitMinus = 9;
constexpr int kBitRec = 11;
constexpr int kBitC = 13;
constexpr int kBitF = 14;

void setBit(SegmentMask& m, int bit) {
    if (bit >= 0 && bit < 32) m |= SegmentMask(1) << bit;
}
} // namespace

bool parseLiveReading(const QByteArray& payload, const LoggerModel& m, LiveReading& out) {
    const ByteReader r(payload);
    if (!r.has(0, m.livePayload)) return false;
    // The 862 puts humidity between the temperature and the bar counts.
    const int bars = m.seriesCount == 2 ? 4 : 2;
    out.primary = r.i16At(0);
    out.secondary = m.seriesCount == 2 ? r.i16At(2) : 0;
    out.batteryBars = static_cast<qint8>(r.u8At(bars));
    out.memoryBars = static_cast<qint8>(r.u8At(bars + 1));
    out.status = r.u8At(bars + 2);
    return true;
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

void applyLiveReading(const LiveReading& r, const LoggerModel& model, LcdState& lcd, LoggerLink& link) {
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
    const bool showPrimary = model.seriesCount == 1 || (r.status & (kStatusCelsius | kStatusFahrenheit));
    digitsFromCount(showPrimary ? r.primary : r.secondary, lcd);
}

void decodeLiveFrame(const QByteArray& payload, LcdState& lcd, LoggerLink& link) {
    LiveReading r;
    if (!parseLiveReading(payload, link.model(), r)) return;
    applyLiveReading(r, link.model(), lcd, link);
}

} // namespace tq
