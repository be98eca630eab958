// tq880-cli compare run as a process.

#include "CliRun.h"
#include "GoldenFile.h"

#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using tq::test::goldenPath;

namespace {
QString threeSets(int k) {
    return goldenPath(QStringLiteral("collections/fill-ff-three-sets.880:%1").arg(k));
}
} // namespace

TEST(CliCompare, PrintsTheTableAndWritesTheChartAndTheWideCsv) {
    QTemporaryDir dir;
    // Set 1 in °C, set 2 in °F, shown in °C by time since each start, with their difference.
    const QString csv = dir.filePath(QStringLiteral("wide.csv"));
    const CliRun r = cli({QStringLiteral("compare"), threeSets(1), threeSets(2), QStringLiteral("--align"),
                          QStringLiteral("elapsed"), QStringLiteral("--unit"), QStringLiteral("C"),
                          QStringLiteral("--difference"), QStringLiteral("-o"), csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList out = lines(r.out);
    ASSERT_EQ(out.size(), 1 + 2 + 1 + 2) << r.out.toStdString();
    EXPECT_TRUE(out[0].startsWith(QStringLiteral("Run\tStart\tEnd\tCount\tInterval\tMax")));
    const QStringList first = out[1].split(QLatin1Char('\t'));
    EXPECT_EQ(first[1], QStringLiteral("2024-03-29 07:13:15"));
    EXPECT_EQ(first[3], QStringLiteral("6"));
    EXPECT_EQ(first[4], QStringLiteral("00:02"));
    EXPECT_EQ(out[2].split(QLatin1Char('\t'))[4], QStringLiteral("01:30"));
    EXPECT_TRUE(out[3].startsWith(QStringLiteral("A - B (1 - 2)\t")));
    EXPECT_EQ(out[4], QStringLiteral("unit\t°C"));
    EXPECT_TRUE(out[5].startsWith(QStringLiteral("difference\t")));

    const QStringList wide = lines(fileBytes(csv));
    ASSERT_GE(wide.size(), 1 + 6);
    EXPECT_TRUE(wide[0].startsWith(QStringLiteral("elapsed_s,")));
    EXPECT_EQ(wide[0].count(QStringLiteral("(°C)")), 3);
    EXPECT_TRUE(wide[1].startsWith(QStringLiteral("0,")));

    // A picture of three runs by clock.
    const QString png = dir.filePath(QStringLiteral("three.png"));
    const CliRun pic =
        cli({QStringLiteral("compare"), threeSets(1), threeSets(2), threeSets(3), QStringLiteral("-o"), png});
    ASSERT_EQ(pic.status, 0) << pic.err.toStdString();
    EXPECT_EQ(lines(pic.out).size(), 1 + 3 + 1);
    QImageReader reader(png);
    EXPECT_EQ(reader.format(), QByteArray("png"));
    EXPECT_EQ(reader.size(), QSize(1200, 700));
}

TEST(CliCompare, BadRunsAreNamedAndFail) {
    struct Case {
        QStringList args;
        int status;
        const char* says;
    };
    const QString collection = goldenPath(QStringLiteral("collections/fill-ff-three-sets.880"));
    for (const Case& c :
         {Case{{collection}, 2, "name the data set"},
          Case{{collection + QStringLiteral(":0")}, 2, "from 1 to 15"},
          Case{{QStringLiteral("run.xls")}, 2, "a run is"},
          Case{{QStringLiteral("archive:x")}, 2, "archive:ID"},
          Case{{threeSets(1), threeSets(9)}, 4, "not 9"},
          Case{{QStringLiteral("/no/such/file.880:1")}, 3, "file.880"},
          Case{{threeSets(1), QStringLiteral("--difference")}, 2, "two runs"},
          Case{{threeSets(1), QStringLiteral("--align"), QStringLiteral("sideways")}, 2, "--align"},
          Case{{}, 2, "expected RUN"}}) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = cli(QStringList{QStringLiteral("compare")} + c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}
