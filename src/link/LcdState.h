#pragma once

#include <QtGlobal>
#include <array>

namespace tq {

// Bit i switches the LCD indicator image whose tag is i + 1.
using SegmentMask = quint32;
// Seven glyph indexes; the four digit cells show codes 3..6. Glyph 11 is blank.
using DigitCodes = std::array<quint8, 7>;

constexpr quint8 kBlankGlyph = 11;

struct LcdState {
    SegmentMask segmentMask = 0;
    DigitCodes digitCodes{kBlankGlyph, kBlankGlyph, kBlankGlyph, kBlankGlyph,
                          kBlankGlyph, kBlankGlyph, kBlankGlyph};
};

} // namespace tq
