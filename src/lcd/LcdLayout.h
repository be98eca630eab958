#pragma once

#include <QRect>
#include <QSize>
#include <array>

namespace tq::lcd {

// The marks an indicator image can carry.
enum class Mark {
    MemoryStep,
    MemLabel,
    Minus,
    Interval,
    Rec,
    DecimalPoint,
    Celsius,
    Fahrenheit,
    BatteryOutline,
    BatteryStep,
    Rs232,
};

// One indicator image: mask bit tag - 1 switches it; tag 0 means no mask bit.
struct IndicatorLayout {
    const char* name;
    int tag;
    QRect geometry;
    Mark mark;
};

struct CellLayout {
    const char* name;
    QRect geometry;
};

constexpr QSize kClientSize(276, 100);

// The logger's own display, image by image.
inline constexpr std::array<IndicatorLayout, 22> kIndicators{{
    {"imgMCell0", 1, QRect(28, 87, 16, 7), Mark::MemoryStep},
    {"imgMCell1", 2, QRect(28, 78, 16, 7), Mark::MemoryStep},
    {"imgMCell2", 3, QRect(28, 69, 16, 7), Mark::MemoryStep},
    {"imgMCell3", 4, QRect(28, 60, 16, 7), Mark::MemoryStep},
    {"imgMCell4", 5, QRect(28, 51, 16, 7), Mark::MemoryStep},
    {"imgMCell5", 6, QRect(28, 42, 16, 7), Mark::MemoryStep},
    {"imgMCell6", 7, QRect(28, 33, 16, 7), Mark::MemoryStep},
    {"imgMCell7", 8, QRect(28, 24, 16, 7), Mark::MemoryStep},
    {"imgMEM", 9, QRect(28, 8, 15, 12), Mark::MemLabel},
    {"imgT1Minus", 10, QRect(49, 62, 16, 9), Mark::Minus},
    {"imgINTV", 11, QRect(121, 8, 38, 17), Mark::Interval},
    {"imgRec", 12, QRect(164, 8, 27, 15), Mark::Rec},
    {"imgMPoint4", 13, QRect(188, 81, 10, 13), Mark::DecimalPoint},
    {"imgC", 14, QRect(239, 27, 17, 15), Mark::Celsius},
    {"imgF", 15, QRect(239, 43, 16, 16), Mark::Fahrenheit},
    {"imgBATEmpty", 16, QRect(202, 7, 55, 17), Mark::BatteryOutline},
    {"imgBCell4", 17, QRect(211, 11, 7, 9), Mark::BatteryStep},
    {"imgBCell3", 18, QRect(220, 11, 7, 9), Mark::BatteryStep},
    {"imgBCell2", 19, QRect(229, 11, 7, 9), Mark::BatteryStep},
    {"imgBCell1", 20, QRect(238, 11, 7, 9), Mark::BatteryStep},
    {"imgBCell0", 21, QRect(247, 11, 7, 9), Mark::BatteryStep},
    {"imgRS232", 0, QRect(61, 8, 55, 16), Mark::Rs232},
}};

// The four digit cells, left to right; cell j shows digit code j + 3.
inline constexpr std::array<CellLayout, 4> kDigitCells{{
    {"MainD2", QRect(74, 32, 33, 62)},
    {"MainD3", QRect(114, 32, 33, 62)},
    {"MainD4", QRect(155, 32, 33, 62)},
    {"MainD5", QRect(198, 32, 33, 62)},
}};

} // namespace tq::lcd
