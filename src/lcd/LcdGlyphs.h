#pragma once

#include <QImage>
#include <QSize>

namespace tq::lcd {

// The sixteen pictures a digit cell can show: 0-9 the digits, 10 a dash,
// 13 the letter L, 11, 12, 14 and 15 blank.
constexpr int kGlyphCount = 16;
constexpr QSize kGlyphSize(34, 62);

// Lit segments of a glyph code; codes outside the table are blank.
quint8 glyphSegments(int code);

// The picture of a glyph code drawn for the given device pixel ratio.
// The table is drawn once per ratio and shared by every cell.
QImage glyph(int code, qreal devicePixelRatio);

} // namespace tq::lcd
