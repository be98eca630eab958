// tq880-cli run as a process, as scripts run it.

#include "GoldenFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using tq::test::goldenPath;

namespace {

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

CliRun cli(const QStringList& args) {
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tq880-cli"), args);
    CliRun r;
    if (!p.waitForFinished(60000)) return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QString collectionFile(const char* name) {
    return goldenPath(QStringLiteral("collections/%1.880").arg(QLatin1String(name)));
}

QStringList lines(const QByteArray& b) {
    QStringList l = QString::fromUtf8(b).split(QLatin1Char('\n'));
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    for (QString& s : l)
        if (s.endsWith(QLatin1Char('\r'))) s.chop(1);
    return l;
}

QByteArray fileBytes(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Cli, ListPrintsOneLinePerDataSet) {
    const CliRun r = cli({QStringLiteral("list"), collectionFile("fill-ff-three-sets")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(lines(r.out),
              QStringList({"1\t2024-03-29\t07:13:15\t00:02\t6\tC", "2\t2025-12-31\t23:59:50\t01:30\t4\tF",
                           "3\t2008-05-21\t14:03:00\t60:00\t3\tC"}));

    const CliRun fifteen = cli({QStringLiteral("list"), collectionFile("fifteen-sets")});
    ASSERT_EQ(fifteen.status, 0);
    EXPECT_EQ(lines(fifteen.out).size(), 15);
    EXPECT_EQ(lines(fifteen.out).last(), QStringLiteral("15\t2024-01-15\t14:28:42\t00:15\t15\tC"));
}

TEST(Cli, ExportWritesTheGoldenFilesInTwoLocales) {
    QTemporaryDir dir;
    struct Case {
        int set;
        const char* format;
        const char* locale;
        const char* golden;
    };
    for (const Case& c :
         {Case{1, "txt", "en_US", "set1.en_US.txt"}, Case{1, "csv", "en_US", "set1.en_US.csv"},
          Case{1, "txt", "de_DE", "set1.de_DE.txt"}, Case{2, "txt", "en_US", "set2.en_US.txt"},
          Case{2, "csv", "de_DE", "set2.de_DE.csv"}}) {
        SCOPED_TRACE(c.golden);
        const QString golden = goldenPath(QStringLiteral("text/") + QLatin1String(c.golden));
        // To standard output ...
        const CliRun r = cli({QStringLiteral("export"), collectionFile("fill-ff-three-sets"),
                              QStringLiteral("--set"), QString::number(c.set), QStringLiteral("--format"),
                              QLatin1String(c.format), QStringLiteral("--locale"), QLatin1String(c.locale)});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, fileBytes(golden));
        // ... and to a file.
        const QString out = dir.filePath(QLatin1String(c.golden));
        const CliRun f =
            cli({QStringLiteral("export"), collectionFile("fill-ff-three-sets"), QStringLiteral("--set"),
                 QString::number(c.set), QStringLiteral("--format"), QLatin1String(c.format),
                 QStringLiteral("--locale"), QLatin1String(c.locale), QStringLiteral("-o"), out});
        ASSERT_EQ(f.status, 0) << f.err.toStdString();
        EXPECT_TRUE(f.out.isEmpty());
        EXPECT_EQ(fileBytes(out), fileBytes(golden));
    }
}

TEST(Cli, ExitStatusesSayWhatWentWrong) {
    const QString good = collectionFile("fill-ff-three-sets");
    EXPECT_EQ(cli({}).status, 2);
    EXPECT_EQ(cli({QStringLiteral("frobnicate")}).status, 2);
    EXPECT_EQ(cli({QStringLiteral("list")}).status, 2);
    EXPECT_EQ(cli({QStringLiteral("list"), good, good}).status, 2);
    EXPECT_EQ(cli({QStringLiteral("export"), good, QStringLiteral("--format"), QStringLiteral("txt")}).status,
              2);
    EXPECT_EQ(cli({QStringLiteral("export"), good, QStringLiteral("--set"), QStringLiteral("0"),
                   QStringLiteral("--format"), QStringLiteral("txt")})
                  .status,
              2);
    EXPECT_EQ(cli({QStringLiteral("export"), good, QStringLiteral("--set"), QStringLiteral("4"),
                   QStringLiteral("--format"), QStringLiteral("txt")})
                  .status,
              2);
    EXPECT_EQ(cli({QStringLiteral("export"), good, QStringLiteral("--set"), QStringLiteral("1"),
                   QStringLiteral("--format"), QStringLiteral("xls")})
                  .status,
              2);
    EXPECT_EQ(cli({QStringLiteral("export"), good, QStringLiteral("--set"), QStringLiteral("1"),
                   QStringLiteral("--format"), QStringLiteral("txt"), QStringLiteral("--locale"),
                   QStringLiteral("xx_nowhere")})
                  .status,
              2);

    const CliRun missing = cli({QStringLiteral("list"), QStringLiteral("/nonexistent/a.880")});
    EXPECT_EQ(missing.status, 3);
    EXPECT_TRUE(missing.err.contains("/nonexistent/a.880"));
    EXPECT_EQ(cli({QStringLiteral("list"), QStringLiteral("/tmp")}).status, 3); // a folder
    EXPECT_EQ(cli({QStringLiteral("list"), collectionFile("empty-directory")}).status, 4);
    const CliRun bad = cli({QStringLiteral("list"), collectionFile("end-address-byte-15")});
    EXPECT_EQ(bad.status, 5);
    EXPECT_FALSE(bad.err.isEmpty());

    // A later data set beyond the end: an error, or the intact ones on request.
    const CliRun beyond = cli({QStringLiteral("list"), collectionFile("third-set-beyond-the-file")});
    EXPECT_EQ(beyond.status, 5);
    EXPECT_TRUE(beyond.err.contains("--intact")) << beyond.err.toStdString();
    const CliRun intact = cli(
        {QStringLiteral("list"), collectionFile("third-set-beyond-the-file"), QStringLiteral("--intact")});
    EXPECT_EQ(intact.status, 0);
    EXPECT_EQ(lines(intact.out).size(), 2);
}
