#include "ByteReader.h"
#include "CollectionFile.h"
#include "DataSetCollection.h"
#include "GoldenFile.h"
#include "MemoryDecoder.h"
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
    const int count = countDataSets(image, 0xFF);
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

    // 862 memory files count every record: their unused ones are 00, not FF.
    ASSERT_TRUE(
        collection::readCollectionFile(dir.filePath(QStringLiteral("fill-00-two-sets.880")), bytes, error));
    EXPECT_EQ(collection::decodeCollection(bytes, c).dataSets, 15);

    ASSERT_TRUE(collection::readCollectionFile(dir.filePath(QStringLiteral("third-set-beyond-the-file.880")),
                                               bytes, error));
    const collection::CollectionDecode bad = collection::decodeCollection(bytes, c);
    EXPECT_EQ(bad.result, DownloadResult::DataError);
    EXPECT_EQ(bad.intact, 2);
    EXPECT_EQ(c.count(), 15); // unchanged by the failed decode
    EXPECT_EQ(collection::decodeCollection(bytes, c, bad.intact).result, DownloadResult::Ok);
    EXPECT_EQ(c.count(), 2);
}
