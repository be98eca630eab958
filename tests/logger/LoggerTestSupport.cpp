#include "LoggerTestSupport.h"

namespace blocks {
QByteArray make(const QByteArray& content, bool badSum) {
    quint8 sum = 0;
    for (char c : content)
        sum = quint8(sum + quint8(c));
    if (badSum) sum = quint8(sum + 1);
    return char(0xEF) + content.left(64) + char(sum) + char(0xFE);
}
} // namespace blocks

QByteArray directoryWith(quint8 fill, std::initializer_list<DirectoryEntry> records) {
    QByteArray d(256, char(fill));
    int k = 1;
    for (const DirectoryEntry& r : records) {
        char* p = d.data() + 16 * k++;
        std::fill(p, p + 16, char(0));
        p[2] = char(r.interval & 0xFF);
        p[3] = char(r.interval >> 8);
        p[4] = char(r.start.date().year() - 2000);
        p[5] = char(r.start.date().month());
        p[6] = char(r.start.date().day());
        p[7] = char(r.start.time().hour());
        p[8] = char(r.start.time().minute());
        p[9] = char(r.start.time().second());
        for (int b = 0; b < 4; ++b)
            p[12 + b] = char((r.end >> (8 * b)) & 0xFF);
    }
    return d;
}

QByteArray memoryWith(quint8 fill, std::initializer_list<DirectoryEntry> records, qsizetype size) {
    QByteArray image = directoryWith(fill, records);
    if (size > image.size()) image.append(QByteArray(size - image.size(), char(0x11)));
    return image;
}
