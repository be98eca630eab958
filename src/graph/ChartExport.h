#pragma once

#include "Outcome.h"

#include <QSize>
#include <QString>

namespace tq {

class Chart;

// Pictures of a chart: PNG (pixels), SVG and PDF (vector graphics, one page
// of exactly the picture's size at 96 pixels to the inch).
namespace chartexport {
enum class Format { Png, Svg, Pdf };
constexpr int kMinSide = 50;
constexpr int kMaxSide = 8000;
constexpr QSize kDefaultSize{1200, 700};

// The format of a file name's extension (any case); false for another one.
bool formatOf(const QString& fileName, Format& out);
// "1200x700" -> 1200 x 700, each side kMinSide ... kMaxSide; false otherwise.
bool parseSize(const QString& text, QSize& out);
bool sizeAllowed(const QSize& size);

// Writes the picture; a failure leaves any file of that name as it was and
// names the file and what failed.
[[nodiscard]] Outcome write(Chart& chart, const QString& fileName, Format format, const QSize& size);
} // namespace chartexport

} // namespace tq
