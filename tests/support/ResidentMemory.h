#pragma once

#include <QFile>
#include <QList>

#include <unistd.h>

namespace tq::testing {

// The resident memory of this process now, in bytes; 0 when unknown.
inline qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

} // namespace tq::testing
