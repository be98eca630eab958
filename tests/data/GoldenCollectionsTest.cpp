#include "ByteReader.h"
#include "CollectionFile.h"
#include "DataSetCollection.h"
#include "GoldenFile.h"
#include "MemoryDecoder.h"
#include "MemoryImages.h"
#include "MemoryLayout.h"
#include "Regional.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace tq;
using tq::test::goldenPath;
using tq::test::matchesGolden;

namespace {

// The start time the samples use for an impossible date (see make_collections.py).
const TDateTime kNow = toDays(QDate(2020, 1, 1), QTime(12, 0, 0));

QString iso(TDateTime t) {
    return dateOf(t).toString(Qt::ISODate) + QLatin1Char('T') +
           timeOf(t).toString(QStringLiteral("hh:mm:ss"));
}

// What decoding a collection file gave, in the form of the .expected files.
QStringList decodeToLines(const QByteArray& bytes) {
    const ByteReader image(bytes);
    const int count = countCollectionDataSets(image);
    DataSetCollection c;
    switch (decodeMemoryImage(image, image.size(), count, c, kNow)) {
    case DownloadResult::NoData:
        return {QStringLiteral("NoData")};
    case DownloadResult::DataError:
        return {QStringLiteral("DataError intact=%1").arg(intactDataSets(image, image.size(), count))};
    default:
        break;
    }
    QStringList lines;
    for (int k = 0; k < c.count(); ++k) {
        const DataSet& s = c.dataSet(k);
        lines << QStringLiteral("%1\t%2\t%3\t%4\t%5")
                     .arg(k + 1)
                     .arg(iso(s.startTime), minutesSecondsText(s.intervalSeconds))
                     .arg(s.sampleCount)
                     .arg(s.unitLetter());
    }
    for (int k = 0; k < c.count(); ++k) {
        const SampleSlice slice = c.slice(k);
        for (int j = 0; j < slice.count; ++j)
            lines << QStringLiteral("%1\t%2\t%3\t%4")
                         .arg(k + 1)
                         .arg(j)
                         .arg(iso(slice.times[j]), QString::number(double(slice.values[j]), 'f', 1));
    }
    return lines;
}

QByteArray readAll(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(GoldenCollections, EveryCaseDecodesAsExpected) {
    const QDir dir(goldenPath(QStringLiteral("collections")));
    const QStringList files = dir.entryList({QStringLiteral("*.880")}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 12);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QByteArray bytes = readAll(dir.filePath(file));
        ASSERT_FALSE(bytes.isEmpty());
        const QString expected =
            dir.filePath(QFileInfo(file).completeBaseName() + QStringLiteral(".expected"));
        EXPECT_TRUE(matchesGolden(expected, decodeToLines(bytes)));
    }
}

TEST(GoldenCollections, ReadingTheFileAndTheWorkingCopyRoundTrip) {
    const QDir dir(goldenPath(QStringLiteral("collections")));
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(
        collection::readCollectionFile(dir.filePath(QStringLiteral("fill-ff-three-sets.880")), bytes, error))
        << error.toStdString();
    DataSetCollection c;
    const collection::CollectionDecode d = collection::decodeCollection(bytes, c);
    ASSERT_EQ(d.result, DownloadResult::Ok);
    EXPECT_EQ(d.dataSets, 3);
    EXPECT_EQ(c.count(), 3);

    // An 862's unused records are 00, not FF: they end the list as FF does.
    ASSERT_TRUE(
        collection::readCollectionFile(dir.filePath(QStringLiteral("fill-00-two-sets.880")), bytes, error));
    EXPECT_EQ(collection::decodeCollection(bytes, c).dataSets, 2);
    EXPECT_EQ(c.count(), 2);

    ASSERT_TRUE(collection::readCollectionFile(dir.filePath(QStringLiteral("third-set-beyond-the-file.880")),
                                               bytes, error));
    const collection::CollectionDecode bad = collection::decodeCollection(bytes, c);
    EXPECT_EQ(bad.result, DownloadResult::DataError);
    EXPECT_EQ(bad.intact, 2);
    EXPECT_EQ(c.count(), 2); // unchanged by the failed decode
    EXPECT_EQ(collection::decodeCollection(bytes, c, bad.intact).result, DownloadResult::Ok);
    EXPECT_EQ(c.count(), 2);
}

TEST(GoldenCollections, WhatATransferThatBrokeOffKeptIsUsable) {
    using tq::testing::memoryEndingAt;
    DataSetCollection c;
    // Broken off inside data set 1 (of an 862, 00 fill): none whole, 224 samples of it.
    const QByteArray first = memoryEndingAt(0x00, {1256, 2256}, 704);
    const collection::CollectionDecode cut = collection::decodeCollection(first, c);
    EXPECT_EQ(cut.result, DownloadResult::DataError);
    EXPECT_EQ(cut.dataSets, 2);
    EXPECT_EQ(cut.intact, 0);
    EXPECT_EQ(cut.cutSamples, 224);
    ASSERT_EQ(collection::decodeUsable(first, cut, c), DownloadResult::Ok);
    ASSERT_EQ(c.count(), 1);
    EXPECT_EQ(c.dataSet(0).sampleCount, 224);
    EXPECT_EQ(c.slice(0).values[223], float(0x1111 * 0.1));

    // Inside data set 2, at an odd byte: one whole, 201 samples of the next.
    const QByteArray second = memoryEndingAt(0xFF, {300, 2256}, 703);
    const collection::CollectionDecode later = collection::decodeCollection(second, c);
    EXPECT_EQ(later.intact, 1);
    EXPECT_EQ(later.cutSamples, 201);
    ASSERT_EQ(collection::decodeUsable(second, later, c), DownloadResult::Ok);
    ASSERT_EQ(c.count(), 2);
    EXPECT_EQ(c.dataSet(0).sampleCount, 22);
    EXPECT_EQ(c.dataSet(1).sampleCount, 201);

    // A record whose end address has its top byte set is damaged, not cut off.
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(collection::readCollectionFile(
        goldenPath(QStringLiteral("collections/end-address-byte-15.880")), bytes, error));
    const collection::CollectionDecode damaged = collection::decodeCollection(bytes, c);
    EXPECT_EQ(damaged.result, DownloadResult::DataError);
    EXPECT_EQ(damaged.cutSamples, 0);
    EXPECT_EQ(collection::decodeUsable(bytes, damaged, c), DownloadResult::NoData);
    EXPECT_EQ(c.count(), 2); // unchanged
}
