#include "TextRange.h"

#include <cstdlib>

namespace tq {

bool textRange(bool all, const QString& from, const QString& to, qint64 pointCount, TextRange& out) {
    if (all) {
        out = {1, pointCount};
        return true;
    }
    bool okFrom = false, okTo = false;
    const int a = from.trimmed().toInt(&okFrom);
    const int b = to.trimmed().toInt(&okTo);
    if (!okFrom || !okTo) return false;
    qint64 first = std::llabs(qint64(a));
    qint64 last = std::llabs(qint64(b));
    if (first > last) std::swap(first, last);
    if (last > pointCount) last = pointCount;
    if (first == 0) first = 1;
    out = {first, last};
    return true;
}

} // namespace tq
