#pragma once

#include <QVector>

namespace tq {

// A smooth curve through (keys, values): a monotone cubic (Fritsch-Carlson),
// so a logged temperature never overshoots between two samples. NaN values
// split the curve; each run is interpolated on its own and the NaN kept.
// Each interval gets `steps` pieces. Keys must be ascending.
void splineCurve(const QVector<double>& keys, const QVector<double>& values, int steps,
                 QVector<double>* outKeys, QVector<double>* outValues);

} // namespace tq
