#include "SimMemory.h"

#include <QtMath>

#include <algorithm>

namespace tq::sim::memory {

namespace {

quint8 byteAt(const QByteArray& image, qint64 offset) {
    return quint8(image.at(offset));
}

qint64 roundUpToBlock(qint64 n) {
    return (n + kBlockSize - 1) / kBlockSize * kBlockSize;
}

void writeRecord(QByteArray& image, int record, const SimDataSet& set, qint64 end) {
    const int at = record * kRecordSize;
    const QDate date = set.start.date();
    const QTime time = set.start.time();
    const int interval = std::clamp(set.intervalSeconds, 0, 0xFFFF);
    char* r = image.data() + at;
    std::fill(r, r + kRecordSize, char(0));
    r[1] = char(set.flags);
    r[2] = char(interval & 0xFF);
    r[3] = char(interval >> 8);
    r[4] = char(std::clamp(date.year() - 2000, 0, 255));
    r[5] = char(date.month());
    r[6] = char(date.day());
    r[7] = char(time.hour());
    r[8] = char(time.minute());
    r[9] = char(time.second());
    r[12] = char(end & 0xFF);
    r[13] = char((end >> 8) & 0xFF);
    r[14] = char((end >> 16) & 0xFF);
    r[15] = 0;
}

} // namespace

quint8 fillByte(int model) {
    return model == 862 ? 0x00 : 0xFF;
}

QByteArray erased(int model) {
    return QByteArray(kDirectorySize, char(fillByte(model)));
}

int usedRecords(const QByteArray& image, quint8 fill) {
    int count = 0;
    for (int record = 1; record <= kMaxDataSets; ++record) {
        const int at = record * kRecordSize;
        if (image.size() < at + kRecordSize) break;
        bool unused = true;
        for (int i = 12; i < 16; ++i)
            unused = unused && byteAt(image, at + i) == fill;
        if (unused) break;
        ++count;
    }
    return count;
}

qint64 endAddress(const QByteArray& image, int record) {
    const int at = record * kRecordSize;
    if (record < 1 || record > kMaxDataSets || image.size() < at + kRecordSize) return 0;
    return byteAt(image, at + 12) | (byteAt(image, at + 13) << 8) | (qint64(byteAt(image, at + 14)) << 16);
}

bool appendDataSet(QByteArray& image, quint8 fill, const SimDataSet& set) {
    if (image.size() < kDirectorySize) image.append(QByteArray(kDirectorySize - image.size(), char(fill)));
    const int used = usedRecords(image, fill);
    if (used >= kMaxDataSets) return false;
    const qint64 first =
        used == 0 ? kDirectorySize : std::max<qint64>(endAddress(image, used), kDirectorySize);
    const qint64 room = std::max<qint64>(0, (kMaxEndAddress - first) / 2);
    const qint64 count = std::min<qint64>(set.samples.size(), room);
    const qint64 end = first + 2 * count;

    // Bytes between the old end and this set's start (rounding padding of an
    // earlier set) are overwritten: sets lie back to back.
    const qint64 size = std::max<qint64>(roundUpToBlock(end), kDirectorySize);
    if (image.size() < size) image.append(QByteArray(size - image.size(), char(fill)));
    char* p = image.data() + first;
    for (qint64 i = 0; i < count; ++i) {
        const quint16 raw = quint16(set.samples.at(i));
        *p++ = char(raw & 0xFF);
        *p++ = char(raw >> 8);
    }
    writeRecord(image, used + 1, set, end);
    return true;
}

QByteArray build(int model, const QVector<SimDataSet>& sets) {
    const quint8 fill = fillByte(model);
    QByteArray image = erased(model);
    for (const SimDataSet& set : sets)
        if (!appendDataSet(image, fill, set)) break;
    return image;
}

QVector<SimDataSet> filling(qint64 memoryBytes, const QDateTime& now) {
    constexpr int kRuns = 4;
    const qint64 bytes = std::clamp<qint64>(memoryBytes, kDirectorySize, kMaxEndAddress);
    const qint64 samples = (bytes - kDirectorySize) / 2;
    QVector<SimDataSet> sets = demo(kRuns, 0, now);
    for (int k = 0; k < kRuns; ++k) {
        // The last run takes the remainder.
        const qint64 count = k < kRuns - 1 ? samples / kRuns : samples - (kRuns - 1) * (samples / kRuns);
        SimDataSet& set = sets[k];
        set.samples.resize(count);
        for (qint64 i = 0; i < count; ++i)
            set.samples[i] = qint16(200 + 30 * k + qRound(40.0 * qSin(2 * M_PI * double(i) / 500.0)));
    }
    return sets;
}

QVector<SimDataSet> demo(int count, int samplesEach, const QDateTime& now) {
    static constexpr int kIntervals[] = {2, 10, 60, 1, 300, 30, 5, 600};
    count = std::clamp(count, 0, kMaxDataSets);
    samplesEach = std::max(samplesEach, 0);
    // The runs follow each other with an hour between them and the last one
    // ends about now.
    constexpr qint64 kGapSeconds = 3600;
    qint64 span = 0;
    for (int k = 0; k < count; ++k)
        span += qint64(samplesEach) * kIntervals[k % std::size(kIntervals)] + kGapSeconds;
    QDateTime start = now.addSecs(-span);
    start.setTime(QTime(start.time().hour(), start.time().minute(), start.time().second()));

    QVector<SimDataSet> sets;
    for (int k = 0; k < count; ++k) {
        SimDataSet set;
        set.start = start;
        set.intervalSeconds = kIntervals[k % std::size(kIntervals)];
        start = start.addSecs(qint64(samplesEach) * set.intervalSeconds + kGapSeconds);
        set.flags = (k % 4 == 3) ? 1 : 0;
        const double base = 180.0 + 25.0 * k; // tenths of a degree C
        const double swing = 40.0 + 10.0 * (k % 3);
        set.samples.reserve(samplesEach);
        for (int i = 0; i < samplesEach; ++i) {
            // A slow daily-like wave with a faster ripple on top.
            double c = base + swing * qSin(2 * M_PI * i / 400.0 + k) + 6.0 * qSin(2 * M_PI * i / 37.0);
            if (set.flags & 1) c = c * 9.0 / 5.0 + 320.0;
            set.samples.append(qint16(qRound(c)));
        }
        sets.append(set);
    }
    return sets;
}

} // namespace tq::sim::memory
