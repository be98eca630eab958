#include "DataSetCollection.h"
#include "MemoryImage.h"

#include <gtest/gtest.h>

using namespace tq;

TEST(MemoryImage, AppendRemoveAndBoundedReads) {
    MemoryImage image;
    EXPECT_EQ(image.size(), 0);
    EXPECT_EQ(image.byteAt(0), 0);
    for (int i = 0; i < 5; ++i)
        image.append(quint8(0xA0 + i));
    EXPECT_EQ(image.size(), 5);
    EXPECT_EQ(image.byteAt(4), 0xA4);
    EXPECT_EQ(image.data()[2], 0xA2);
    // Past either end reads as 0 instead of touching other memory.
    EXPECT_EQ(image.byteAt(5), 0);
    EXPECT_EQ(image.byteAt(-1), 0);

    image.removeLast(2);
    EXPECT_EQ(image.size(), 3);
    EXPECT_EQ(image.byteAt(3), 0);
    image.removeLast(0);
    image.removeLast(-4);
    EXPECT_EQ(image.size(), 3);
    image.removeLast(10);
    EXPECT_EQ(image.size(), 0);
    image.append(7);
    image.clear();
    EXPECT_EQ(image.size(), 0);
}

namespace {
DataSet makeSet(int count, int interval = 2, TDateTime start = 45000.0) {
    DataSet s;
    s.startTime = start;
    s.intervalSeconds = interval;
    s.sampleCount = count;
    return s;
}

// Fills a collection with the given sample counts; sample j of data set k
// has value 100 k + j.
void fill(DataSetCollection& c, const std::vector<int>& counts) {
    std::vector<DataSet> sets;
    std::vector<float> values;
    std::vector<double> times;
    for (size_t k = 0; k < counts.size(); ++k) {
        sets.push_back(makeSet(counts[k], 2, 45000.0 + double(k)));
        for (int j = 0; j < counts[k]; ++j) {
            values.push_back(float(100 * k + j));
            times.push_back(45000.0 + double(k) + j * 2 * kOneSecond);
        }
    }
    ASSERT_TRUE(c.replaceContents(std::move(sets), std::move(values), std::move(times)));
}
} // namespace

TEST(DataSetCollection, SlicesAndFirstSampleAroundAnEmptyDataSet) {
    DataSetCollection c;
    fill(c, {3, 0, 4});
    ASSERT_EQ(c.count(), 3);
    EXPECT_EQ(c.firstSample(0), 0);
    EXPECT_EQ(c.firstSample(1), 3);
    // The data set after an empty one starts where the empty one "starts".
    EXPECT_EQ(c.firstSample(2), 3);

    const SampleSlice empty = c.slice(1);
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.values, nullptr);
    EXPECT_TRUE(empty.times.isNull());

    const SampleSlice third = c.slice(2);
    ASSERT_EQ(third.count, 4);
    EXPECT_FLOAT_EQ(third.values[0], 200.0f);
    EXPECT_FLOAT_EQ(third.values[3], 203.0f);
    EXPECT_DOUBLE_EQ(third.times[0], 45002.0);
    EXPECT_NEAR((third.times[1] - third.times[0]) * kSecondsPerDay, 2.0, 1e-6);

    const SampleSlice first = c.slice(0);
    ASSERT_EQ(first.count, 3);
    EXPECT_FLOAT_EQ(first.values[2], 2.0f);

    EXPECT_TRUE(c.slice(3).empty());
    EXPECT_TRUE(c.slice(-1).empty());
    EXPECT_EQ(c.firstSample(7), 0);
}

TEST(DataSetCollection, InconsistentContentsAreRefusedAndKeepThePrevious) {
    DataSetCollection c;
    fill(c, {2, 5});

    // Arrays shorter than the counts claim.
    EXPECT_FALSE(c.replaceContents({makeSet(10)}, std::vector<float>(3), std::vector<double>(3)));
    // Values and times of different lengths.
    EXPECT_FALSE(c.replaceContents({makeSet(3)}, std::vector<float>(3), std::vector<double>(2)));
    // A negative count cannot be balanced by a larger one.
    EXPECT_FALSE(c.replaceContents({makeSet(-2), makeSet(5)}, std::vector<float>(3), std::vector<double>(3)));
    // More data sets than the logger's directory holds.
    EXPECT_FALSE(c.replaceContents(std::vector<DataSet>(16, makeSet(0)), {}, {}));

    ASSERT_EQ(c.count(), 2);
    EXPECT_EQ(c.slice(1).count, 5);
    EXPECT_FLOAT_EQ(c.slice(1).values[4], 104.0f);
    EXPECT_EQ(c.values().size(), 7u);
    EXPECT_DOUBLE_EQ(c.slice(1).times[4], c.slice(1).times[0] + 4 * 2.0 / kSecondsPerDay);

    // A whole replacement swaps everything.
    fill(c, {1});
    EXPECT_EQ(c.count(), 1);
    EXPECT_EQ(c.values().size(), 1u);
}

TEST(DataSetCollection, UnitLetterAndDownloadFlag) {
    DataSet s;
    EXPECT_EQ(s.unitLetter(), QLatin1Char('C'));
    s.flags = 0x03;
    EXPECT_TRUE(s.fahrenheit());
    EXPECT_EQ(s.unitLetter(), QLatin1Char('F'));
    s.flags = 0x02; // other bits are carried, not read
    EXPECT_EQ(s.unitLetter(), QLatin1Char('C'));

    DataSetCollection& global = dataSetCollection();
    EXPECT_EQ(&global, &dataSetCollection());
    EXPECT_FALSE(global.downloadUnsaved());
    global.setDownloadUnsaved(true);
    EXPECT_TRUE(dataSetCollection().downloadUnsaved());
    global.setDownloadUnsaved(false);
}
