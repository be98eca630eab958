#pragma once

#include <QString>

namespace tq {

// The points a text save writes, 1-based and inclusive.
struct TextRange {
    qint64 first = 1;
    qint64 last = 0;
};

// The range window's rule: all points, or the absolute values of the two
// numbers, swapped when reversed, the last cut to the point count and a
// first of 0 taken as 1. False when either number is not an integer.
bool textRange(bool all, const QString& from, const QString& to, qint64 pointCount, TextRange& out);

} // namespace tq
