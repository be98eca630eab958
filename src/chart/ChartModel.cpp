#include "ChartModel.h"

#include <algorithm>
#include <cmath>

namespace tq {

namespace {

// The leading positive counts of the multi-axis list; a list that does not
// name at least two axes means a single axis.
QVector<int> axisSizes(const QVector<int>& list) {
    QVector<int> sizes;
    for (int n : list) {
        if (n <= 0 || sizes.size() >= kMaxAxes) break;
        sizes.append(n);
    }
    if (sizes.size() < 2) sizes.clear();
    return sizes;
}

} // namespace

QColor defaultSeriesColor(int i) {
    static const QColor palette[] = {QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 0, 255),
                                     QColor(0, 160, 0), QColor(255, 0, 255), QColor(0, 200, 200),
                                     QColor(128, 0, 0), QColor(0, 0, 128)};
    return palette[i % (sizeof(palette) / sizeof(palette[0]))];
}

ChartModel::ChartModel() {
    axes.resize(1);
    setSubsets(1);
}

void ChartModel::setSubsets(int n) {
    n = std::clamp(n, 1, kMaxSubsets);
    const int old = subsets();
    series.resize(n);
    for (int i = old; i < n; ++i) {
        series[i].color = defaultSeriesColor(i);
        series[i].data.resize(points, nullY);
    }
}

void ChartModel::setPoints(int p) {
    p = std::clamp(p, 0, kMaxPoints);
    for (auto& s : series)
        s.data.resize(p, nullY);
    points = p;
}

AxisModel& ChartModel::axis(int index) {
    index = std::clamp(index, 0, kMaxAxes - 1);
    if (axes.size() <= index) axes.resize(index + 1);
    return axes[index];
}

const AxisModel* ChartModel::axisOrNull(int index) const {
    return index >= 0 && index < axes.size() ? &axes[index] : nullptr;
}

int ChartModel::axisCount() const {
    return std::max<int>(1, axisSizes(multiSubsets).size());
}

int ChartModel::axisOfSubset(int subset) const {
    const QVector<int> sizes = axisSizes(multiSubsets);
    int first = 0;
    for (int a = 0; a < sizes.size(); ++a) {
        first += sizes[a];
        if (subset < first) return a;
    }
    // Series beyond the listed ones share the last axis.
    return std::max<int>(0, sizes.size() - 1);
}

QVector<double> ChartModel::effectiveProportions() const {
    const int n = axisCount();
    QVector<double> out(n, 1.0 / n);
    if (n == 1) return {1.0};
    for (int a = 0; a < n && a < proportions.size(); ++a) {
        const double p = proportions[a];
        if (std::isfinite(p) && p > 0.0) out[a] = p;
    }
    return out;
}

double ChartModel::proportion(int axisIndex) const {
    const QVector<double> p = effectiveProportions();
    return axisIndex >= 0 && axisIndex < p.size() ? p[axisIndex] : 0.0;
}

bool ChartModel::isNull(float y) const {
    return y == nullY || !std::isfinite(y);
}

} // namespace tq
