#pragma once

// The chart's integer line types and grid styles as pens.

#include "Chart.h"

#include <QPen>
#include <QStringList>

namespace tq {

constexpr int kDefaultLineType = 9;
constexpr int kLineTypeCount = 10;

// Pen for a series line type; unknown codes draw the default medium line.
QPen seriesPen(int lineType, const QColor& color);
// Names for the customisation dialog, index = line type.
QStringList lineTypeNames();

// Monochrome printing tells series apart by dash pattern.
QPen monoSeriesPen(int subset);

QPen gridPen(Chart::GridStyle style);

// Pen of a vertical line annotation by its type.
QPen vertLinePen(int type, const QColor& color);

} // namespace tq
