#pragma once

#include <QByteArray>

#include <algorithm>
#include <initializer_list>

namespace tq::testing {

// A logger memory whose directory records end at these addresses (dates
// valid, interval 2 s), samples 0x11 up to size; the rest of the directory
// is fill.
inline QByteArray memoryEndingAt(quint8 fill, std::initializer_list<qint64> ends, qsizetype size) {
    QByteArray m(size, char(0x11));
    std::fill(m.begin(), m.begin() + 256, char(fill));
    int k = 1;
    for (qint64 end : ends) {
        char* r = m.data() + 16 * k++;
        std::fill(r, r + 16, char(0));
        r[2] = 2;
        r[4] = 24, r[5] = 3, r[6] = 29, r[7] = 7, r[8] = 13, r[9] = 15;
        for (int b = 0; b < 3; ++b)
            r[12 + b] = char((end >> (8 * b)) & 0xFF);
    }
    return m;
}

} // namespace tq::testing
