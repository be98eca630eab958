#include "LcdGlyphs.h"

#include "LcdInk.h"
#include "SevenSegment.h"

#include <QPainter>
#include <array>
#include <map>

namespace tq::lcd {

namespace {

constexpr std::array<quint8, kGlyphCount> kSegments{
    SegA | SegB | SegC | SegD | SegE | SegF,        // 0
    SegB | SegC,                                    // 1
    SegA | SegB | SegD | SegE | SegG,               // 2
    SegA | SegB | SegC | SegD | SegG,               // 3
    SegB | SegC | SegF | SegG,                      // 4
    SegA | SegC | SegD | SegF | SegG,               // 5
    SegA | SegC | SegD | SegE | SegF | SegG,        // 6
    SegA | SegB | SegC,                             // 7
    SegA | SegB | SegC | SegD | SegE | SegF | SegG, // 8
    SegA | SegB | SegC | SegD | SegF | SegG,        // 9
    SegG,                                           // 10: dash
    0,                                              // 11: blank
    0,                                              // 12: blank
    SegD | SegE | SegF,                             // 13: L
    0,                                              // 14: blank
    0,                                              // 15: blank
};

// The digit box inside the 34 x 62 picture; the cell shows 33 columns, so
// the slanted top stays clear of the last one.
const QRectF kDigitBox(2.0, 2.0, 26.0, 58.0);
const SegmentStyle kDigitStyle{6.0, 0.8, 0.06};

QImage drawGlyph(quint8 segments, qreal dpr) {
    QImage image(kGlyphSize * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintSegments(painter, kDigitBox, segments, kDigitStyle, inkColor(), ghostColor());
    return image;
}

} // namespace

quint8 glyphSegments(int code) {
    return code >= 0 && code < kGlyphCount ? kSegments[static_cast<std::size_t>(code)] : 0;
}

QImage glyph(int code, qreal devicePixelRatio) {
    // Images rather than pixmaps: a static table must not outlive the
    // application object that pixmaps depend on.
    static std::map<qreal, std::array<QImage, kGlyphCount>> tables;
    auto it = tables.find(devicePixelRatio);
    if (it == tables.end()) {
        std::array<QImage, kGlyphCount> table;
        for (int i = 0; i < kGlyphCount; ++i)
            table[static_cast<std::size_t>(i)] =
                drawGlyph(kSegments[static_cast<std::size_t>(i)], devicePixelRatio);
        it = tables.emplace(devicePixelRatio, std::move(table)).first;
    }
    // A code the table does not hold shows blank rather than reading past it.
    const int index = code >= 0 && code < kGlyphCount ? code : 11;
    return it->second[static_cast<std::size_t>(index)];
}

} // namespace tq::lcd
