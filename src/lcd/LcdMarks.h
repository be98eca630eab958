#pragma once

#include "LcdLayout.h"

#include <QColor>
#include <QImage>
#include <QSize>

namespace tq::lcd {

// The picture of an indicator mark, size in logical pixels, drawn for the
// given device pixel ratio in the given ink on a transparent ground.
QImage drawMark(Mark mark, QSize size, qreal devicePixelRatio, const QColor& ink);

} // namespace tq::lcd
