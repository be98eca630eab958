#include "SimMemory.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tq::sim;

namespace {
quint8 at(const QByteArray& image, int offset) {
    return quint8(image.at(offset));
}

qint16 sampleAt(const QByteArray& image, int offset) {
    return qint16(quint16(at(image, offset) | (at(image, offset + 1) << 8)));
}

SimDataSet set(const QDateTime& start, int interval, quint8 flags, const QVector<qint16>& samples) {
    return {start, interval, flags, samples};
}
} // namespace

TEST(SimMemory, DirectoryRecordsAndSamplesFollowTheLayout) {
    const QDateTime first(QDate(2024, 3, 29), QTime(7, 13, 15));
    const QDateTime second(QDate(2031, 12, 1), QTime(23, 59, 58));
    const QByteArray image =
        memory::build(860, {set(first, 2, 0, {234, -5, 0x7FFF}), set(second, 3600, 1, {-32768, 1000})});

    // Three samples end at 262, two more at 266; the memory ends at the
    // next whole block.
    ASSERT_EQ(image.size(), 320);
    const int r1 = 16;
    EXPECT_EQ(at(image, r1 + 1), 0);
    EXPECT_EQ(at(image, r1 + 2), 2);
    EXPECT_EQ(at(image, r1 + 3), 0);
    EXPECT_EQ(QByteArray(image.constData() + r1 + 4, 6), QByteArray("\x18\x03\x1d\x07\x0d\x0f", 6));
    EXPECT_EQ(QByteArray(image.constData() + r1 + 12, 4), QByteArray("\x06\x01\x00\x00", 4));
    const int r2 = 32;
    EXPECT_EQ(at(image, r2 + 1), 1);
    EXPECT_EQ(at(image, r2 + 2), 0x10);
    EXPECT_EQ(at(image, r2 + 3), 0x0E);
    EXPECT_EQ(QByteArray(image.constData() + r2 + 4, 6), QByteArray("\x1f\x0c\x01\x17\x3b\x3a", 6));
    EXPECT_EQ(QByteArray(image.constData() + r2 + 12, 4), QByteArray("\x0a\x01\x00\x00", 4));

    EXPECT_EQ(sampleAt(image, 256), 234);
    EXPECT_EQ(sampleAt(image, 258), -5);
    EXPECT_EQ(sampleAt(image, 260), 0x7FFF);
    EXPECT_EQ(sampleAt(image, 262), -32768);
    EXPECT_EQ(sampleAt(image, 264), 1000);

    // Record 0, records 3..15 and the padding after the last sample are fill.
    for (int i : {0, 15, 48, 63, 255, 266, 319})
        EXPECT_EQ(at(image, i), 0xFF) << "offset " << i;
    EXPECT_EQ(memory::usedRecords(image, 0xFF), 2);
    EXPECT_EQ(memory::endAddress(image, 2), 266);
}

TEST(SimMemory, FillByteAndSizeDependOnModel) {
    const QByteArray empty862 = memory::erased(862);
    const QByteArray empty860 = memory::erased(860);
    EXPECT_EQ(empty862, QByteArray(256, char(0x00)));
    EXPECT_EQ(empty860, QByteArray(256, char(0xFF)));
    EXPECT_EQ(memory::usedRecords(empty862, 0x00), 0);

    // A set without samples still takes a record; its end is its start.
    const QByteArray image = memory::build(862, {set(QDateTime(QDate(2024, 1, 1), QTime(0, 0)), 1, 0, {})});
    EXPECT_EQ(image.size(), 256);
    EXPECT_EQ(memory::usedRecords(image, 0x00), 1);
    EXPECT_EQ(memory::endAddress(image, 1), 256);
    EXPECT_EQ(at(image, 32 + 12), 0x00);

    // 100 samples end at 456; 512 bytes hold them.
    QVector<qint16> hundred(100, 7);
    EXPECT_EQ(memory::build(862, {set(QDateTime::currentDateTime(), 1, 0, hundred)}).size(), 512);
}

TEST(SimMemory, DirectoryHoldsFifteenSetsAtMost) {
    QVector<SimDataSet> sets;
    for (int i = 0; i < 17; ++i)
        sets.append(set(QDateTime(QDate(2024, 1, 1 + i), QTime(12, 0)), 1, 0, {qint16(i)}));
    QByteArray image = memory::build(860, sets);
    EXPECT_EQ(memory::usedRecords(image, 0xFF), 15);
    EXPECT_EQ(memory::endAddress(image, 15), 256 + 30);
    EXPECT_EQ(sampleAt(image, 256 + 28), 14);
    EXPECT_FALSE(memory::appendDataSet(image, 0xFF, sets.first()));
}

TEST(SimMemory, AppendingToAHostileImageStaysInBounds) {
    // Record 1 claims to end inside the directory: the next set still
    // starts after the directory.
    QByteArray image = memory::erased(860);
    image[16 + 12] = 0x10;
    image[16 + 13] = image[16 + 14] = image[16 + 15] = 0;
    ASSERT_TRUE(memory::appendDataSet(image, 0xFF, set(QDateTime::currentDateTime(), 2, 0, {1, 2})));
    EXPECT_EQ(memory::usedRecords(image, 0xFF), 2);
    EXPECT_EQ(memory::endAddress(image, 2), 260);
    EXPECT_EQ(sampleAt(image, 258), 2);

    // Record 1 ends at the top of the address range: no sample fits, and the
    // new end address still fits the three bytes the download reads.
    QByteArray full = memory::erased(860);
    full[16 + 12] = full[16 + 13] = full[16 + 14] = char(0xFF);
    full[16 + 15] = 0;
    ASSERT_TRUE(memory::appendDataSet(full, 0xFF, set(QDateTime::currentDateTime(), 2, 0, {1, 2, 3})));
    EXPECT_EQ(memory::endAddress(full, 2), memory::endAddress(full, 1));
    EXPECT_EQ(quint8(full.at(32 + 15)), 0);
    EXPECT_LE(full.size(), memory::kMaxEndAddress + memory::kBlockSize);

    // A raw image shorter than the directory is completed first.
    QByteArray tiny(10, char(0x11));
    ASSERT_TRUE(memory::appendDataSet(tiny, 0xFF, set(QDateTime::currentDateTime(), 2, 0, {5})));
    EXPECT_EQ(tiny.size(), 320);
    EXPECT_EQ(memory::endAddress(tiny, 1), 258);
}

TEST(SimMemory, DemoSetsArePlausible) {
    const QDateTime now(QDate(2024, 6, 1), QTime(12, 0));
    const QVector<SimDataSet> sets = memory::demo(20, 300, now);
    ASSERT_EQ(sets.size(), 15);
    QSet<int> intervals;
    bool fahrenheit = false;
    for (int k = 0; k < sets.size(); ++k) {
        const SimDataSet& s = sets[k];
        ASSERT_EQ(s.samples.size(), 300);
        intervals.insert(s.intervalSeconds);
        fahrenheit = fahrenheit || (s.flags & 1);
        EXPECT_LE(s.start, now);
        if (k > 0) { // each run starts after the one before has ended
            EXPECT_GE(sets[k - 1].start.secsTo(s.start), qint64(300) * sets[k - 1].intervalSeconds);
        }
        for (int i = 1; i < s.samples.size(); ++i)
            EXPECT_LE(std::abs(s.samples[i] - s.samples[i - 1]), 15) << "set " << k << " sample " << i;
        for (qint16 v : s.samples) {
            EXPECT_GT(v, -400);
            EXPECT_LT(v, 1500);
        }
    }
    EXPECT_GE(intervals.size(), 4);
    EXPECT_TRUE(fahrenheit);
    EXPECT_TRUE(memory::demo(0, 10, now).isEmpty());
    EXPECT_EQ(memory::usedRecords(memory::build(860, memory::demo(3, 0, now)), 0xFF), 3);
}

TEST(SimMemory, FillingReachesTheAskedSizeUpTo16MiB) {
    const QDateTime now(QDate(2024, 5, 5), QTime(12, 0));
    for (qint64 size : {qint64(256), qint64(1000), qint64(64 * 1024), qint64(1024 * 1024)}) {
        for (int model : {860, 862}) {
            const QByteArray image = memory::build(model, memory::filling(size, now));
            EXPECT_EQ(image.size(), (size + 63) / 64 * 64) << size << " on " << model;
            // Four runs unless there is no room for samples at all.
            EXPECT_EQ(memory::usedRecords(image, memory::fillByte(model)), 4) << size;
        }
    }
    const QByteArray largest = memory::build(860, memory::filling(16 * 1024 * 1024, now));
    EXPECT_EQ(largest.size(), 16 * 1024 * 1024);
    EXPECT_EQ(memory::endAddress(largest, 4), 0xFFFFFE);
    // Asked for more, it stays at the largest memory a logger has.
    EXPECT_EQ(memory::build(860, memory::filling(64 * 1024 * 1024, now)).size(), 16 * 1024 * 1024);
}
