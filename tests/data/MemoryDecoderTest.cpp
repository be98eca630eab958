#include "MemoryDecoder.h"
#include "DataSetCollection.h"
#include "MemoryLayout.h"
#include "Regional.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tq;

namespace {

// A memory image under construction: a directory filled with fillByte, then samples.
struct Image {
    std::vector<quint8> bytes;
    explicit Image(quint8 fill = 0xFF) : bytes(256, fill) {}

    void record(int k, qint64 end, int interval = 2, int year = 24, int month = 3, int day = 29, int hour = 7,
                int minute = 13, int second = 15, quint8 flags = 0) {
        quint8* r = bytes.data() + memory::recordOffset(k);
        r[1] = flags;
        r[2] = quint8(interval);
        r[3] = quint8(interval >> 8);
        r[4] = quint8(year);
        r[5] = quint8(month);
        r[6] = quint8(day);
        r[7] = quint8(hour);
        r[8] = quint8(minute);
        r[9] = quint8(second);
        r[12] = quint8(end);
        r[13] = quint8(end >> 8);
        r[14] = quint8(end >> 16);
        r[15] = quint8(end >> 24);
    }
    void sample(qint16 raw) {
        bytes.push_back(quint8(raw));
        bytes.push_back(quint8(quint16(raw) >> 8));
    }
    ByteReader reader() const { return ByteReader(bytes.data(), qsizetype(bytes.size())); }
    qint64 size() const { return qint64(bytes.size()); }
};

} // namespace

TEST(ByteReader, RandomAccessOutsideReadsZeroAndSequentialReadsThrow) {
    const quint8 raw[] = {0x34, 0x12, 0xFE, 0xFF, 0x01};
    ByteReader r(raw, 5);
    EXPECT_EQ(r.u16At(0), 0x1234);
    EXPECT_EQ(r.i16At(2), -2);
    EXPECT_EQ(r.u16At(4), 0x0001); // high byte past the end reads as 0
    EXPECT_EQ(r.u8At(5), 0);
    EXPECT_EQ(r.u8At(-1), 0);
    EXPECT_EQ(r.u32At(0), 0xFFFE1234u);
    EXPECT_TRUE(r.has(0, 5));
    EXPECT_FALSE(r.has(1, 5));
    EXPECT_FALSE(r.has(-1, 1));
    EXPECT_EQ(r.u16("a"), 0x1234);
    EXPECT_EQ(r.i16("b"), -2);
    EXPECT_EQ(r.left(), 1);
    EXPECT_THROW(r.u16("c"), ByteReadError);
    EXPECT_EQ(r.left(), 1); // a failed read takes nothing
    float f[2];
    EXPECT_THROW(r.array(f, 2, "d"), ByteReadError);
    EXPECT_THROW(r.bytes(-1, "e"), ByteReadError);
    EXPECT_EQ(r.u8("f"), 0x01);
}

TEST(MemoryLayout, DirectoryScanEndAddressAndDownloadTotal) {
    Image image;
    image.record(0, 1000);
    image.record(1, 1000);
    EXPECT_EQ(countDataSets(image.reader(), 0xFF), 2);
    EXPECT_EQ(countDataSets(image.reader(), 0x00), 15); // the other model's fill byte ends nothing
    EXPECT_EQ(downloadTotal(image.reader(), 2), 1024);
    EXPECT_EQ(downloadTotal(image.reader(), 0), 0);

    // Byte 15 weighs 16 219 136 in the decoder; the download total ignores it.
    image.record(1, 256 + (qint64(1) << 24));
    EXPECT_EQ(recordEndAddress(image.reader(), 1), 256 + memory::kTopByteWeight);
    EXPECT_EQ(downloadTotal(image.reader(), 2), 256);

    // A record is unused only when all four end bytes equal the fill byte.
    Image partial;
    partial.bytes[16 + 12] = 0x00;
    EXPECT_EQ(countDataSets(partial.reader(), 0xFF), 1);
    // A file ends its list at either model's fill: all 00 as well as all FF,
    // but not at a mix of the two.
    EXPECT_EQ(countCollectionDataSets(partial.reader()), 1);
    for (int b = 13; b < 16; ++b)
        partial.bytes[size_t(16 + b)] = 0x00;
    EXPECT_EQ(countCollectionDataSets(partial.reader()), 0);
    EXPECT_EQ(countCollectionDataSets(image.reader()), 2);
    // Shorter than a directory: no records.
    const ByteReader shortImage(image.bytes.data(), 255);
    EXPECT_EQ(countDataSets(shortImage, 0xFF), 0);
}

TEST(MemoryDecoder, FiveHundredSamplesWithTheirTimesAndTheRangeMarks) {
    Image image;
    image.record(0, 1256);
    const qint16 raws[] = {-2000, -2001, 13700, 13701, 235, -5};
    for (int i = 0; i < 500; ++i)
        image.sample(raws[i % 6]);
    DataSetCollection c;
    ASSERT_EQ(decodeMemoryImage(image.reader(), image.size(), 1, c), DownloadResult::Ok);
    ASSERT_EQ(c.count(), 1);
    const DataSet& s = c.dataSet(0);
    EXPECT_EQ(s.sampleCount, 500);
    EXPECT_EQ(s.intervalSeconds, 2);
    EXPECT_EQ(s.firstOffset, 256);
    EXPECT_EQ(s.lastOffset, 1255);
    EXPECT_EQ(fromDays(s.startTime), QDateTime(QDate(2024, 3, 29), QTime(7, 13, 15)));
    EXPECT_EQ(fromDays(c.slice(0).times[499]), QDateTime(QDate(2024, 3, 29), QTime(7, 29, 53)));
    // The times come from the start and the interval, to the bit as the
    // sum the decoder always made, and take no array.
    EXPECT_TRUE(c.slice(0).times.isRegular());
    for (int j : {0, 1, 250, 499})
        EXPECT_EQ(c.slice(0).times[j], s.startTime + double(j) * s.intervalSeconds / kSecondsPerDay);
    EXPECT_EQ(c.slice(0).times.from(250)[1], c.slice(0).times[251]);
    EXPECT_FLOAT_EQ(c.values()[0], -200.0f);
    EXPECT_FLOAT_EQ(c.values()[1], -9999.0f);
    EXPECT_FLOAT_EQ(c.values()[2], 1370.0f);
    EXPECT_FLOAT_EQ(c.values()[3], 9999.0f);
    EXPECT_FLOAT_EQ(c.values()[4], 23.5f);
    EXPECT_FLOAT_EQ(c.values()[5], -0.5f);
}

TEST(MemoryDecoder, CountsFromEndAddresses) {
    Image image;
    image.record(0, 256);     // no samples; the next starts at 256 too
    image.record(1, 261);     // odd: two samples, the last single byte unread
    image.record(2, 200);     // end below first: 0 samples, next starts at 200
    image.record(3, 204);     // two samples from the odd address 200
    image.record(4, 208, 90); // two samples
    for (int i = 0; i < 5; ++i)
        image.sample(qint16(10 * (i + 1)));
    DataSetCollection c;
    ASSERT_EQ(decodeMemoryImage(image.reader(), image.size(), 5, c), DownloadResult::Ok);
    EXPECT_EQ(c.dataSet(0).sampleCount, 0);
    EXPECT_EQ(c.dataSet(1).sampleCount, 2);
    EXPECT_EQ(c.dataSet(1).firstOffset, 256);
    EXPECT_EQ(c.dataSet(2).sampleCount, 0);
    EXPECT_EQ(c.dataSet(2).firstOffset, 261);
    EXPECT_EQ(c.dataSet(3).firstOffset, 200);
    EXPECT_EQ(c.dataSet(3).sampleCount, 2);
    EXPECT_EQ(c.dataSet(4).firstOffset, 204);
    EXPECT_EQ(c.dataSet(4).intervalSeconds, 90);
    EXPECT_EQ(c.values().size(), 6u);
    EXPECT_FLOAT_EQ(c.values()[0], 1.0f);
    EXPECT_FLOAT_EQ(c.values()[1], 2.0f);
}

TEST(MemoryDecoder, RangeCheckAndTheLastHighByte) {
    Image image;
    image.record(0, 261);
    image.sample(100);
    image.sample(200);
    image.bytes.push_back(0x2C); // the low byte of a third sample; its high byte is missing
    // end - 1 = 260 equals the size: decodes, the missing high byte reads as 0.
    DataSetCollection c;
    ASSERT_EQ(decodeMemoryImage(image.reader(), image.size() - 0, 1, c), DownloadResult::Ok);
    EXPECT_EQ(c.dataSet(0).sampleCount, 2);

    Image odd;
    odd.record(0, 262);
    odd.sample(100);
    odd.sample(200);
    odd.bytes.push_back(0x2C); // 261 bytes; end 262 - 1 = 261 = size: the last sample's high byte is missing
    ASSERT_EQ(decodeMemoryImage(odd.reader(), odd.size(), 1, c), DownloadResult::Ok);
    EXPECT_EQ(c.dataSet(0).sampleCount, 3);
    EXPECT_FLOAT_EQ(c.values()[2], 4.4f);

    // One more byte and it is a data error; the collection stays as it was.
    odd.record(0, 263);
    EXPECT_EQ(decodeMemoryImage(odd.reader(), odd.size(), 1, c), DownloadResult::DataError);
    EXPECT_EQ(c.dataSet(0).sampleCount, 3);
    // A non-zero top byte puts any ordinary memory out of range.
    odd.record(0, 258 + (qint64(1) << 24));
    EXPECT_EQ(decodeMemoryImage(odd.reader(), odd.size(), 1, c), DownloadResult::DataError);
    EXPECT_EQ(decodeMemoryImage(odd.reader(), odd.size(), 0, c), DownloadResult::NoData);
    EXPECT_EQ(c.count(), 1);
}

TEST(MemoryDecoder, ImpossibleDateStartsNowAndIntactSetsAreCounted) {
    Image image;
    image.record(0, 260, 2, 24, 13, 1); // month 13
    image.record(1, 264);
    image.record(2, 100000); // beyond the memory
    for (int i = 0; i < 4; ++i)
        image.sample(qint16(i));
    const TDateTime now = 46000.5;
    DataSetCollection c;
    EXPECT_EQ(decodeMemoryImage(image.reader(), image.size(), 3, c, now), DownloadResult::DataError);
    EXPECT_EQ(c.count(), 0);
    EXPECT_EQ(intactDataSets(image.reader(), image.size(), 3), 2);
    ASSERT_EQ(decodeMemoryImage(image.reader(), image.size(), 2, c, now), DownloadResult::Ok);
    EXPECT_DOUBLE_EQ(c.dataSet(0).startTime, now);
    EXPECT_DOUBLE_EQ(c.slice(0).times[1], now + 2.0 / 86400.0);
    EXPECT_NE(c.dataSet(1).startTime, now);
}

TEST(MemoryDecoder, OverlappingRecordsCannotMultiplyTheMemory) {
    // Every record claims the whole 16 MiB again by starting below the one before.
    Image image;
    const qint64 size = memory::kMaxMemorySize;
    for (int k = 0; k < 15; k += 2) {
        image.record(k, size - 2); // the largest end address the three low bytes hold, rounded to a sample
        if (k + 1 < 15) image.record(k + 1, 256);
    }
    image.bytes.resize(size_t(size), 0);
    DataSetCollection c;
    EXPECT_EQ(decodeMemoryImage(image.reader(), size, 15, c), DownloadResult::DataError);
    EXPECT_EQ(decodeMemoryImage(image.reader(), size, 1, c), DownloadResult::Ok);
    EXPECT_EQ(c.dataSet(0).sampleCount, (size - 2 - 256) / 2);
}
