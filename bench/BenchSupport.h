#pragma once

// The few measuring helpers every benchmark program uses.

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <vector>

namespace tq::bench {

// Milliseconds since the timer started; restarts it.
inline double msSince(QElapsedTimer& t) {
    const double ms = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    return ms;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The process's resident memory now, in MiB.
inline double residentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0.0;
}

} // namespace tq::bench
