#include "Spline.h"

#include <algorithm>
#include <cmath>

namespace tq {

namespace {

void appendRun(const double* k, const double* v, int n, int steps, QVector<double>* ok, QVector<double>* ov) {
    if (n < 3) {
        for (int i = 0; i < n; ++i) {
            ok->append(k[i]);
            ov->append(v[i]);
        }
        return;
    }
    // Secant slopes, then tangents limited so each piece stays monotone.
    QVector<double> d(n - 1), m(n);
    for (int i = 0; i < n - 1; ++i) {
        const double h = k[i + 1] - k[i];
        d[i] = h > 0 ? (v[i + 1] - v[i]) / h : 0.0;
    }
    m[0] = d[0];
    m[n - 1] = d[n - 2];
    for (int i = 1; i < n - 1; ++i)
        m[i] = d[i - 1] * d[i] <= 0 ? 0.0 : (d[i - 1] + d[i]) / 2;
    for (int i = 0; i < n - 1; ++i) {
        if (d[i] == 0.0) {
            m[i] = m[i + 1] = 0.0;
            continue;
        }
        const double a = m[i] / d[i], b = m[i + 1] / d[i];
        const double s = a * a + b * b;
        if (s > 9.0) {
            const double t = 3.0 / std::sqrt(s);
            m[i] = t * a * d[i];
            m[i + 1] = t * b * d[i];
        }
    }
    for (int i = 0; i < n - 1; ++i) {
        const double h = k[i + 1] - k[i];
        for (int j = 0; j < steps; ++j) {
            const double t = double(j) / steps;
            const double t2 = t * t, t3 = t2 * t;
            const double h00 = 2 * t3 - 3 * t2 + 1, h10 = t3 - 2 * t2 + t;
            const double h01 = -2 * t3 + 3 * t2, h11 = t3 - t2;
            ok->append(k[i] + t * h);
            ov->append(h00 * v[i] + h10 * h * m[i] + h01 * v[i + 1] + h11 * h * m[i + 1]);
        }
    }
    ok->append(k[n - 1]);
    ov->append(v[n - 1]);
}

} // namespace

void splineCurve(const QVector<double>& keys, const QVector<double>& values, int steps,
                 QVector<double>* outKeys, QVector<double>* outValues) {
    outKeys->clear();
    outValues->clear();
    const int n = static_cast<int>(std::min(keys.size(), values.size()));
    steps = std::max(1, steps);
    outKeys->reserve(qsizetype(n) * steps);
    outValues->reserve(qsizetype(n) * steps);
    int start = 0;
    for (int i = 0; i <= n; ++i) {
        if (i < n && !std::isnan(values[i])) continue;
        appendRun(keys.constData() + start, values.constData() + start, i - start, steps, outKeys, outValues);
        if (i < n) {
            outKeys->append(keys[i]);
            outValues->append(values[i]);
        }
        start = i + 1;
    }
}

} // namespace tq
