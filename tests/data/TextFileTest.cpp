#include "TextFile.h"
#include "GoldenFile.h"
#include "Progress.h"
#include "Regional.h"
#include "TextLineReader.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <vector>

using namespace tq;
using tq::test::goldenPath;
using tq::test::matchesGolden;

namespace {

struct Points : PointSource, PointSink {
    std::vector<double> xs;
    std::vector<float> ys;
    double x(qint64 i) const override { return i < qint64(xs.size()) ? xs[size_t(i)] : 0.0; }
    float y(qint64 i) const override { return i < qint64(ys.size()) ? ys[size_t(i)] : 9999.0f; }
    void setX(qint64 i, double v) override {
        if (i >= qint64(xs.size())) xs.resize(size_t(i) + 1, -1.0);
        xs[size_t(i)] = v;
    }
    void setY(qint64 i, float v) override {
        if (i >= qint64(ys.size())) ys.resize(size_t(i) + 1, -1.0f);
        ys[size_t(i)] = v;
    }
};

// Cancels after a given number of steps.
struct CancelAfter : Progress {
    qint64 limit;
    qint64 last = 0;
    explicit CancelAfter(qint64 n) : limit(n) {}
    void setMaximum(qint64) override {}
    void setValue(qint64 v) override { last = v; }
    bool cancelled() const override { return last >= limit; }
};

QByteArray written(const PointSource& p, QChar sep, qint64 first, qint64 last, const char* locale,
                   Progress* progress = nullptr) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    NoProgress none;
    writeTextLines(out, p, sep, first, last, progress ? *progress : none, RegionalFormats(QLocale(locale)),
                   QStringLiteral("buffer"));
    return out.data();
}

QStringList lines(const QByteArray& bytes) {
    QStringList l = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    return l;
}

QByteArray fileBytes(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The first data set of fill-ff-three-sets.880.
Points setOne() {
    Points p;
    const TDateTime start = toDays(QDate(2024, 3, 29), QTime(7, 13, 15));
    const float values[] = {23.5f, -0.5f, -200.0f, -9999.0f, 1370.0f, 9999.0f};
    for (int j = 0; j < 6; ++j) {
        p.xs.push_back(start + j * 2 * kOneSecond);
        p.ys.push_back(values[j]);
    }
    return p;
}

TextScan scan(const QByteArray& bytes, QChar sep, const char* locale) {
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    NoProgress none;
    return scanTextLines(in, sep, none, RegionalFormats(QLocale(locale)));
}

TextRead read(const QByteArray& bytes, QChar sep, qint64 n, Points& into, const char* locale,
              Progress* progress = nullptr) {
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    NoProgress none;
    return readTextPoints(in, sep, n, into, progress ? *progress : none, RegionalFormats(QLocale(locale)));
}

} // namespace

TEST(TextFile, WritesTheGoldenLinesInTwoLocales) {
    const Points p = setOne();
    for (const char* locale : {"en_US", "de_DE"}) {
        SCOPED_TRACE(locale);
        const QByteArray txt = written(p, textfile::kTab, 1, 6, locale);
        EXPECT_EQ(txt, fileBytes(goldenPath(QStringLiteral("text/set1.%1.txt").arg(QLatin1String(locale)))));
        EXPECT_EQ(txt.count("\r\n"), 6);
    }
    EXPECT_EQ(written(p, textfile::kComma, 1, 6, "en_US"),
              fileBytes(goldenPath(QStringLiteral("text/set1.en_US.csv"))));
    // A range writes only its points.
    EXPECT_EQ(lines(written(p, textfile::kTab, 2, 3, "en_US")),
              QStringList({"3/29/24\t7:13:17 AM\t-0.5", "3/29/24\t7:13:19 AM\t-200.0"}));
}

TEST(TextFile, ValueTextThresholdsAndUnfilledPoints) {
    const RegionalFormats us{QLocale(QStringLiteral("en_US"))};
    EXPECT_EQ(textValue(3000.0f, us), QStringLiteral("3000.0"));
    EXPECT_EQ(textValue(-3000.0f, us), QStringLiteral("-3000.0"));
    EXPECT_EQ(textValue(3000.1f, us), QStringLiteral("OL"));
    EXPECT_EQ(textValue(-3000.1f, us), QStringLiteral("OL"));
    EXPECT_EQ(textValue(23.45f, us), QStringLiteral("23.5"));
    EXPECT_EQ(textValue(-9999.0f, us), QStringLiteral("OL"));

    // Points beyond the first with X 0.0 were never filled: the file ends there.
    Points p = setOne();
    p.xs[3] = 0.0;
    EXPECT_EQ(lines(written(p, textfile::kTab, 1, 6, "en_US")).size(), 3);
    EXPECT_TRUE(written(p, textfile::kTab, 7, 6, "en_US").isEmpty()); // first above last: empty
}

TEST(TextFile, CancelKeepsTheLinesWrittenAndTheLinesRead) {
    const Points p = setOne();
    CancelAfter stopWriting(2);
    EXPECT_EQ(lines(written(p, textfile::kTab, 1, 6, "en_US", &stopWriting)).size(), 2);

    Points in;
    CancelAfter stopReading(3);
    const TextRead r = read(fileBytes(goldenPath(QStringLiteral("text/set1.en_US.txt"))), textfile::kTab, 6,
                            in, "en_US", &stopReading);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.points, 3);
}

TEST(TextFile, ReadingTheGoldenFilesAndWritingThemAgainGivesTheSameLines) {
    struct Case {
        const char* file;
        QChar sep;
        const char* locale;
    };
    for (const Case& c :
         {Case{"set1.en_US.txt", textfile::kTab, "en_US"}, Case{"set1.en_US.csv", textfile::kComma, "en_US"},
          Case{"set1.de_DE.txt", textfile::kTab, "de_DE"}, Case{"set2.en_US.txt", textfile::kTab, "en_US"},
          Case{"set2.de_DE.txt", textfile::kTab, "de_DE"},
          Case{"set2.de_DE.csv", textfile::kComma, "de_DE"}}) {
        SCOPED_TRACE(c.file);
        const QString name = goldenPath(QStringLiteral("text/") + QLatin1String(c.file));
        const QByteArray bytes = fileBytes(name);
        const TextScan s = scan(bytes, c.sep, c.locale);
        Points p;
        const TextRead r = read(bytes, c.sep, s.lines, p, c.locale);
        EXPECT_EQ(r.points, s.lines);
        EXPECT_NEAR(s.t2 - s.t1, p.xs[1] - p.xs[0], 1e-9);
        EXPECT_TRUE(matchesGolden(name, lines(written(p, c.sep, 1, r.points, c.locale))));
    }
}

TEST(TextFile, ReadingRules) {
    // Only a line with a readable date and time is a reading: a header or a
    // bad date counts for nothing. N is the readings before the first empty
    // line, and no more are read; OL anywhere, an empty field and text give 9999.
    const QByteArray file = "Date\tTime\r\n"
                            "3/29/24\t7:13:15 AM\t23.5\r\n"
                            "3/29/24\t7:13:17 AM\txOLx\r\n"
                            "bad\tdate\t12.5\r\n"
                            "3/29/24\t7:13:21 AM\t\r\n"
                            "\r\n"
                            "3/29/24\t7:13:23 AM\tabc\r\n"
                            "3/29/24\t7:13:25 AM\t1.0\r\n"
                            "3/29/24\t7:13:27 AM\t2.0\r\n";
    const TextScan s = scan(file, textfile::kTab, "en_US");
    EXPECT_EQ(s.lines, 3);
    EXPECT_EQ(s.t1, toDays(QDate(2024, 3, 29), QTime(7, 13, 15)));
    EXPECT_EQ(s.t2, toDays(QDate(2024, 3, 29), QTime(7, 13, 17)));
    Points p;
    const TextRead r = read(file, textfile::kTab, s.lines, p, "en_US");
    EXPECT_EQ(r.points, 3);
    ASSERT_EQ(p.ys.size(), 3u);
    ASSERT_EQ(p.xs.size(), 3u);
    EXPECT_FLOAT_EQ(p.ys[0], 23.5f);
    EXPECT_FLOAT_EQ(p.ys[1], 9999.0f);
    EXPECT_FLOAT_EQ(p.ys[2], 9999.0f); // the empty field of 7:13:21
    EXPECT_EQ(p.xs[2], toDays(QDate(2024, 3, 29), QTime(7, 13, 21)));
    // Asked for more, the readings after the empty line follow.
    Points more;
    EXPECT_EQ(read(file, textfile::kTab, 5, more, "en_US").points, 5);
    EXPECT_FLOAT_EQ(more.ys[3], 9999.0f); // "abc"
    EXPECT_EQ(more.xs[4], toDays(QDate(2024, 3, 29), QTime(7, 13, 25)));

    // A file from a comma-decimal system read with a point separator: no
    // date converts, so nothing in it is a reading.
    const QByteArray german = fileBytes(goldenPath(QStringLiteral("text/set1.de_DE.txt")));
    EXPECT_EQ(scan(german, textfile::kTab, "en_US").lines, 0);
    Points de;
    EXPECT_EQ(read(german, textfile::kTab, 6, de, "en_US").points, 0);
    EXPECT_TRUE(de.xs.empty());
    EXPECT_TRUE(de.ys.empty());
    EXPECT_EQ(scan("", textfile::kTab, "en_US").lines, 0);
    EXPECT_EQ(scan("junk\r\nmore,junk,here\r\n", textfile::kComma, "en_US").lines, 0);
}

TEST(TextLineReader, LineEndsChunksAndOverlongLines) {
    QByteArray data = "a\r\nb\nc\rd\r\r\n";
    const QByteArray longLine(200000, 'x'); // longer than any chunk
    data += longLine + "\r\nend\n" + QByteArray(179, 'f') + "\n" + QByteArray(180, 'g');
    QBuffer in;
    in.setData(data);
    in.open(QIODevice::ReadOnly);
    TextLineReader reader(in, 179);
    QByteArray line;
    QStringList got;
    QList<bool> cut;
    while (reader.next(line)) {
        got << QString::fromLatin1(line);
        cut << reader.lineCut();
    }
    ASSERT_EQ(got.size(), 9);
    EXPECT_EQ(got.mid(0, 5), QStringList({"a", "b", "c", "d", ""}));
    EXPECT_EQ(got[5].size(), 179); // cut, the rest of that line skipped
    EXPECT_EQ(got[6], QStringLiteral("end"));
    EXPECT_EQ(got[7].size(), 179); // just fits
    EXPECT_EQ(got[8].size(), 179); // one too many, at the end of the input
    EXPECT_EQ(cut, (QList<bool>{false, false, false, false, false, true, false, false, true}));
    EXPECT_FALSE(reader.failed());

    // A CR LF split across two reads is one line end.
    QByteArray split(64 * 1024 - 1, 'y');
    split += "\r\nz";
    QBuffer in2;
    in2.setData(split);
    in2.open(QIODevice::ReadOnly);
    TextLineReader r2(in2, 179);
    ASSERT_TRUE(r2.next(line));
    ASSERT_TRUE(r2.next(line));
    EXPECT_EQ(line, QByteArray("z"));
    EXPECT_FALSE(r2.next(line));
}
