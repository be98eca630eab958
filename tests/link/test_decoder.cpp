#include "LiveDecoder.h"
#include "LiveLink.h"

#include <gtest/gtest.h>

using namespace tq;

namespace {
QByteArray payload860(qint16 count, qint8 battery, qint8 memory, quint8 status) {
    QByteArray p;
    p.append(char(count & 0xFF)).append(char((count >> 8) & 0xFF));
    p.append(char(battery)).append(char(memory)).append(char(status)).append(char(0));
    return p;
}
QByteArray payload862(qint16 temp, qint16 hum, qint8 battery, qint8 memory, quint8 status) {
    QByteArray p;
    p.append(char(temp & 0xFF)).append(char((temp >> 8) & 0xFF));
    p.append(char(hum & 0xFF)).append(char((hum >> 8) & 0xFF));
    p.append(char(battery)).append(char(memory)).append(char(status)).append(char(0));
    return p;
}
std::array<int, 4> cells(const LcdState& s) {
    return {s.digitCodes[3], s.digitCodes[4], s.digitCodes[5], s.digitCodes[6]};
}
struct Decoded {
    LcdState lcd;
    LoggerLink link;
};
Decoded decode(const QByteArray& payload, int model) {
    Decoded d;
    d.link.setModel(*findLoggerModel(model));
    decodeLiveFrame(payload, d.lcd, d.link);
    return d;
}
} // namespace

TEST(LiveDecoder, WorkedFrame860) {
    auto d = decode(payload860(234, 3, 2, 0x01), 860);
    EXPECT_EQ(d.lcd.segmentMask, 0x1CB103u);
    EXPECT_EQ(d.lcd.digitCodes[1], 11);
    EXPECT_EQ(d.lcd.digitCodes[2], 0);
    EXPECT_EQ(cells(d.lcd), (std::array<int, 4>{11, 2, 3, 4}));
    EXPECT_TRUE(d.link.unitCelsius);
    EXPECT_FALSE(d.link.recording);
    // Code 0 is never touched by decoding.
    EXPECT_EQ(d.lcd.digitCodes[0], 11);
}

TEST(LiveDecoder, NegativeAndExtremeCounts) {
    auto d = decode(payload860(-5, 3, 2, 0x01), 860);
    EXPECT_TRUE(d.lcd.segmentMask & (1u << 9));
    EXPECT_EQ(cells(d.lcd), (std::array<int, 4>{11, 11, 0, 5}));

    d = decode(payload860(5, 0, 0, 0), 860);
    EXPECT_FALSE(d.lcd.segmentMask & (1u << 9));
    EXPECT_EQ(cells(d.lcd), (std::array<int, 4>{11, 11, 0, 5}));

    // -32768 cannot be negated in 16 bits: shown with the L glyph in front.
    d = decode(payload860(-32768, 0, 0, 0), 860);
    EXPECT_TRUE(d.lcd.segmentMask & (1u << 9));
    EXPECT_EQ(d.lcd.digitCodes[1], 13);
    EXPECT_EQ(cells(d.lcd), (std::array<int, 4>{2, 7, 6, 8}));

    // 10000 and more lose the leading digit: 1234.5 shows 234.5.
    d = decode(payload860(12345, 0, 0, 0), 860);
    EXPECT_EQ(d.lcd.digitCodes[2], 1);
    EXPECT_EQ(cells(d.lcd), (std::array<int, 4>{2, 3, 4, 5}));
    // 1000.0 keeps only the blanked zeros of its last four digits.
    d = decode(payload860(10000, 0, 0, 0), 860);
    EXPECT_EQ(cells(d.lcd), (std::array<int, 4>{11, 11, 0, 0}));
    // A zero in the tens keeps the units when the hundreds show.
    d = decode(payload860(1005, 0, 0, 0), 860);
    EXPECT_EQ(cells(d.lcd), (std::array<int, 4>{1, 0, 0, 5}));
    d = decode(payload860(-999, 0, 0, 0), 860);
    EXPECT_EQ(cells(d.lcd), (std::array<int, 4>{11, 9, 9, 9}));
}

TEST(LiveDecoder, UnitBitsAndRecording) {
    auto d = decode(payload860(100, 0, 0, 0x02), 860);
    EXPECT_FALSE(d.link.unitCelsius);
    EXPECT_TRUE(d.lcd.segmentMask & (1u << 14));
    EXPECT_FALSE(d.lcd.segmentMask & (1u << 13));

    // Both bits: both marks show and the unit ends as F.
    d = decode(payload860(100, 0, 0, 0x03), 860);
    EXPECT_FALSE(d.link.unitCelsius);
    EXPECT_TRUE(d.lcd.segmentMask & (1u << 13));
    EXPECT_TRUE(d.lcd.segmentMask & (1u << 14));

    d = decode(payload860(100, 0, 0, 0x09), 860);
    EXPECT_TRUE(d.link.recording);
    EXPECT_TRUE(d.lcd.segmentMask & (1u << 11));
    // Other status bits are ignored.
    d = decode(payload860(100, 0, 0, 0xF4), 860);
    EXPECT_FALSE(d.link.recording);
    EXPECT_EQ(d.lcd.segmentMask, 0x00009100u);
}

TEST(LiveDecoder, BarCountsNeverLeaveTheMask) {
    auto d = decode(payload860(0, 5, 8, 0), 860);
    EXPECT_EQ(d.lcd.segmentMask, 0x1F91FFu);
    // Negative counts light nothing.
    d = decode(payload860(0, -3, -1, 0), 860);
    EXPECT_EQ(d.lcd.segmentMask, 0x9100u);
    // Counts far above the LCD's steps: bits 0..20 and 0..31 at most, no wrap.
    d = decode(payload860(0, 127, 0, 0), 860);
    EXPECT_EQ(d.lcd.segmentMask, 0x1FFFFFu);
    d = decode(payload860(0, 0, 127, 0), 860);
    EXPECT_EQ(d.lcd.segmentMask, 0xFFFFFFFFu);
    d = decode(payload860(0, 21, 0, 0), 860);
    EXPECT_EQ(d.lcd.segmentMask, 0x1FFFFFu);
}

TEST(LiveDecoder, Model862ShowsTemperatureOrHumidity) {
    // Unit mark on: temperature, with its own sign.
    auto d = decode(payload862(-123, 456, 4, 1, 0x01), 862);
    EXPECT_TRUE(d.lcd.segmentMask & (1u << 9));
    EXPECT_EQ(cells(d.lcd), (std::array<int, 4>{11, 1, 2, 3}));
    EXPECT_TRUE(d.lcd.segmentMask & (1u << 17)); // 4 battery bars: bits 17..20
    EXPECT_TRUE(d.lcd.segmentMask & 1u);
    // No unit mark: the humidity count, no unit shown, minus follows humidity.
    d = decode(payload862(-123, 456, 4, 1, 0x00), 862);
    EXPECT_FALSE(d.lcd.segmentMask & (1u << 9));
    EXPECT_FALSE(d.lcd.segmentMask & ((1u << 13) | (1u << 14)));
    EXPECT_EQ(cells(d.lcd), (std::array<int, 4>{11, 4, 5, 6}));
}

TEST(LiveDecoder, ShortPayloadChangesNothing) {
    Decoded d;
    d.link.setModel(kModel862);
    d.lcd.segmentMask = 0x1234;
    decodeLiveFrame(payload860(234, 3, 2, 1), d.lcd, d.link); // 6 bytes: too short for 862
    EXPECT_EQ(d.lcd.segmentMask, 0x1234u);
}

TEST(LinkTimer, PeriodCorrection) {
    EXPECT_EQ(LiveLink::correctedInterval(1000, 1000), 1000);
    // 300 ms late: the next interval is 700 ms; then 300 ms early back to 1000.
    EXPECT_EQ(LiveLink::correctedInterval(1000, 1300), 700);
    EXPECT_EQ(LiveLink::correctedInterval(700, 700), 1000);
    EXPECT_EQ(LiveLink::correctedInterval(1000, 880), 1120);
    // Never below 500 ms, also for the exact floor.
    EXPECT_EQ(LiveLink::correctedInterval(1000, 1500), 500);
    EXPECT_EQ(LiveLink::correctedInterval(1000, 1499), 501);
    EXPECT_EQ(LiveLink::correctedInterval(1000, 5000), 500);
}
