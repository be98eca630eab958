// tq880-cli run as a process, as scripts run it.

#include "CliRun.h"
#include "GoldenFile.h"
#include "PdfTools.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using tq::test::goldenPath;

namespace {

QString collectionFile(const char* name) {
    return goldenPath(QStringLiteral("collections/%1.880").arg(QLatin1String(name)));
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
          Case{2, "txt", "de_DE", "set2.de_DE.txt"}}) {
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

    // A decimal comma inside comma-separated fields: refused, nothing written.
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("set1.csv"));
    const CliRun comma = cli({QStringLiteral("export"), good, QStringLiteral("--set"), QStringLiteral("1"),
                              QStringLiteral("--format"), QStringLiteral("csv"), QStringLiteral("--locale"),
                              QStringLiteral("de_DE"), QStringLiteral("-o"), out});
    EXPECT_EQ(comma.status, 2);
    EXPECT_TRUE(comma.err.contains("txt") && comma.err.contains("iso-csv")) << comma.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

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

TEST(Cli, NoPhantomDataSetsAndNoEmptyExports) {
    // A model 862's unused directory records are 00: they are no data sets.
    const CliRun listed = cli({QStringLiteral("list"), collectionFile("fill-00-two-sets")});
    ASSERT_EQ(listed.status, 0) << listed.err.toStdString();
    EXPECT_EQ(lines(listed.out),
              QStringList({"1\t2024-03-29\t07:13:15\t00:10\t4\tC", "2\t2024-07-01\t00:00:00\t00:10\t2\tC"}));
    EXPECT_EQ(cli({QStringLiteral("export"), collectionFile("fill-00-two-sets"), QStringLiteral("--set"),
                   QStringLiteral("9"), QStringLiteral("--format"), QStringLiteral("txt")})
                  .status,
              2);

    // A real data set without samples: an error, and no file.
    QTemporaryDir dir;
    for (const char* format : {"txt", "iso-csv"}) {
        const QString out = dir.filePath(QStringLiteral("empty.") + QLatin1String(format));
        const CliRun empty = cli({QStringLiteral("export"), collectionFile("end-below-first"),
                                  QStringLiteral("--set"), QStringLiteral("2"), QStringLiteral("--format"),
                                  QLatin1String(format), QStringLiteral("-o"), out});
        EXPECT_EQ(empty.status, 4);
        EXPECT_TRUE(empty.err.contains("data set 2 holds no samples")) << empty.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    const QString png = dir.filePath(QStringLiteral("empty.png"));
    EXPECT_EQ(cli({QStringLiteral("plot"), collectionFile("end-below-first"), QStringLiteral("--set"),
                   QStringLiteral("2"), QStringLiteral("-o"), png})
                  .status,
              4);
    EXPECT_FALSE(QFile::exists(png));
    EXPECT_EQ(cli({QStringLiteral("export"), collectionFile("end-below-first"), QStringLiteral("--set"),
                   QStringLiteral("3"), QStringLiteral("--format"), QStringLiteral("txt")})
                  .status,
              0);
}

TEST(Cli, EveryCommandAnswersHelp) {
    for (const char* name : {"list", "export", "plot", "report", "paths", "ports", "download", "info",
                             "set-clock", "set-unit", "set-interval", "erase"}) {
        SCOPED_TRACE(name);
        const CliRun r = cli({QLatin1String(name), QStringLiteral("--help")});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith("usage: tq880-cli " + QByteArray(name) + ' ')) << r.out.toStdString();
    }
    // Before anything else: erase --help erases nothing, and asks no port.
    EXPECT_EQ(cli({QStringLiteral("erase"), QStringLiteral("--port"), QStringLiteral("/dev/tq880-missing"),
                   QStringLiteral("-h")})
                  .status,
              0);
}

TEST(Cli, PathsNameWhereTheProgramWrites) {
    QTemporaryDir user;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), user.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), user.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), user.filePath(QStringLiteral("share")));
    env.remove(QStringLiteral("XDG_DOCUMENTS_DIR"));
    auto field = [](const CliRun& r, const char* name) {
        for (const QString& l : lines(r.out))
            if (l.startsWith(QString::fromLatin1(name) + QLatin1Char('\t')))
                return l.section(QLatin1Char('\t'), 1);
        return QString();
    };

    // The working copy goes where the program writes it: the data folder's temp/.
    const CliRun plain = cli({QStringLiteral("paths")}, env);
    ASSERT_EQ(plain.status, 0) << plain.err.toStdString();
    const QString documents = user.filePath(QStringLiteral("Documents/TQ880/"));
    EXPECT_EQ(field(plain, "data folder"), documents);
    EXPECT_EQ(field(plain, "working copy"), documents + QStringLiteral("temp/DataSetsTemp.tmp"));

    // --home: everything inside it, even a home that is not there yet.
    const QString home = user.filePath(QStringLiteral("new/home"));
    const CliRun homed = cli({QStringLiteral("paths"), QStringLiteral("--home"), home}, env);
    ASSERT_EQ(homed.status, 0) << homed.err.toStdString();
    for (const char* name : {"program folder", "data folder", "settings", "graph template", "working copy"}) {
        EXPECT_TRUE(field(homed, name).startsWith(home + QLatin1Char('/')))
            << name << ": " << field(homed, name).toStdString();
    }
    EXPECT_EQ(field(homed, "working copy"), home + QStringLiteral("/temp/DataSetsTemp.tmp"));
    EXPECT_EQ(
        cli({QStringLiteral("paths"), QStringLiteral("--home"), QStringLiteral("/proc/none")}, env).status,
        2);
}

TEST(Cli, ExportIsoCsvDescribesItself) {
    // Data set 2 of the sample is recorded in Fahrenheit.
    const CliRun r = cli({QStringLiteral("export"), collectionFile("fill-ff-three-sets"),
                          QStringLiteral("--set"), QStringLiteral("2"), QStringLiteral("--format"),
                          QStringLiteral("iso-csv"), QStringLiteral("--locale"), QStringLiteral("de_DE")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList l = lines(r.out);
    ASSERT_EQ(l.size(), 5);
    EXPECT_EQ(l[0], QStringLiteral("time,temperature_F"));
    // ISO times with an offset, a point whatever the locale.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^2025-12-31T23:59:50[+-]\\d\\d:\\d\\d,-?\\d+\\.\\d$"))
                    .match(l[1])
                    .hasMatch())
        << l[1].toStdString();
    EXPECT_TRUE(r.out.contains("\r\n"));
}

TEST(Cli, PlotDrawsTheChartAtTheChosenSizeWithoutADisplay) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("set1.png"));
    // No platform given: the program picks the offscreen one itself.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const CliRun r = cli({QStringLiteral("plot"), collectionFile("one-set-500-samples"),
                          QStringLiteral("--set"), QStringLiteral("1"), QStringLiteral("-o"), png,
                          QStringLiteral("--size"), QStringLiteral("800x500")},
                         env);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QImageReader(png).size(), QSize(800, 500));
    // A copy of the program in a folder of its own reads no template there
    // and writes none: that is the program's to write.
    QTemporaryDir own;
    const QString copy = own.filePath(QStringLiteral("tq880-cli"));
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/tq880-cli"), copy));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(copy, {QStringLiteral("plot"), collectionFile("one-set-500-samples"), QStringLiteral("--set"),
                   QStringLiteral("1"), QStringLiteral("-o"), own.filePath(QStringLiteral("x.png"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(own.filePath(QStringLiteral("x.png"))));
    EXPECT_FALSE(QFile::exists(own.filePath(QStringLiteral("template"))));

    const QString svg = dir.filePath(QStringLiteral("set1.svg"));
    ASSERT_EQ(cli({QStringLiteral("plot"), collectionFile("one-set-500-samples"), QStringLiteral("--set"),
                   QStringLiteral("1"), QStringLiteral("-o"), svg})
                  .status,
              0);
    EXPECT_TRUE(fileBytes(svg).contains("viewBox=\"0 0 1200 700\""));
    const QString pdf = dir.filePath(QStringLiteral("set1.pdf"));
    ASSERT_EQ(cli({QStringLiteral("plot"), collectionFile("one-set-500-samples"), QStringLiteral("--set"),
                   QStringLiteral("1"), QStringLiteral("-o"), pdf, QStringLiteral("--size"),
                   QStringLiteral("400x300")})
                  .status,
              0);
    EXPECT_TRUE(tq::test::pdfPageSize(pdf).startsWith(QStringLiteral("300 x 225 pts")));

    // Refusals: no picture name, another format, a bad size, no such set.
    const QString good = collectionFile("one-set-500-samples");
    const QString one = QStringLiteral("1");
    EXPECT_EQ(cli({QStringLiteral("plot"), good, QStringLiteral("--set"), one}).status, 2);
    EXPECT_EQ(cli({QStringLiteral("plot"), good, QStringLiteral("--set"), one, QStringLiteral("-o"),
                   dir.filePath(QStringLiteral("x.jpg"))})
                  .status,
              2);
    EXPECT_EQ(cli({QStringLiteral("plot"), good, QStringLiteral("--set"), one, QStringLiteral("-o"), png,
                   QStringLiteral("--size"), QStringLiteral("9000x10")})
                  .status,
              2);
    EXPECT_EQ(cli({QStringLiteral("plot"), good, QStringLiteral("--set"), QStringLiteral("2"),
                   QStringLiteral("-o"), png})
                  .status,
              2);
    // A model no logger has is refused with its reason, not drawn as an 860.
    const CliRun unknownModel =
        cli({QStringLiteral("plot"), good, QStringLiteral("--set"), one, QStringLiteral("-o"), png,
             QStringLiteral("--model"), QStringLiteral("864")});
    EXPECT_EQ(unknownModel.status, 2);
    EXPECT_TRUE(unknownModel.err.endsWith("--model takes 860 or 862\n")) << unknownModel.err.toStdString();
    const CliRun nowhere = cli({QStringLiteral("plot"), good, QStringLiteral("--set"), one,
                                QStringLiteral("-o"), dir.filePath(QStringLiteral("no/such/x.png"))});
    EXPECT_EQ(nowhere.status, 3);
    EXPECT_TRUE(nowhere.err.contains("x.png")) << nowhere.err.toStdString();
    EXPECT_EQ(cli({QStringLiteral("plot"), QStringLiteral("/nonexistent/a.880"), QStringLiteral("--set"), one,
                   QStringLiteral("-o"), png})
                  .status,
              3);
}

TEST(Cli, ReportWritesThePdfWithTheSummaryFigures) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    // 500 samples 2 s apart from 2024-03-29 07:13:15.
    const CliRun r =
        cli({QStringLiteral("report"), collectionFile("one-set-500-samples"), QStringLiteral("--set"),
             QStringLiteral("1"), QStringLiteral("--low"), QStringLiteral("-5"), QStringLiteral("--high"),
             QStringLiteral("30.5"), QStringLiteral("--locale"), QStringLiteral("en_GB"),
             QStringLiteral("--model"), QStringLiteral("860"), QStringLiteral("-o"), pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const int pages = tq::test::pdfPages(pdf);
    EXPECT_GE(pages, 2);
    EXPECT_TRUE(r.out.contains(QStringLiteral(": %1 pages").arg(pages).toUtf8())) << r.out.toStdString();
    EXPECT_TRUE(tq::test::pdfPageSize(pdf).contains(QStringLiteral("A4")));
    const QString text = tq::test::pdfText(pdf);
    for (const char* s : {"one-set-500-samples.880, data set 1", "Logger model", "860", "500",
                          "2 s (00:00:02)", "00:16:38", "29/03/2024 07:13:15", "Mean kinetic temperature",
                          "Low limit", "-5.0 °C", "30.5 °C", "Excursions above"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;

    // Without the table: one page.
    ASSERT_EQ(cli({QStringLiteral("report"), collectionFile("one-set-500-samples"), QStringLiteral("--set"),
                   QStringLiteral("1"), QStringLiteral("--no-table"), QStringLiteral("-o"), pdf})
                  .status,
              0);
    EXPECT_EQ(tq::test::pdfPages(pdf), 1);

    // Refusals write nothing.
    const QString never = dir.filePath(QStringLiteral("never.pdf"));
    const QString good = collectionFile("one-set-500-samples");
    const QString set = QStringLiteral("--set"), one = QStringLiteral("1"), o = QStringLiteral("-o");
    EXPECT_EQ(cli({QStringLiteral("report"), good, set, one, QStringLiteral("--low"), QStringLiteral("9"),
                   QStringLiteral("--high"), QStringLiteral("8"), o, never})
                  .status,
              2);
    EXPECT_EQ(cli({QStringLiteral("report"), good, set, one, QStringLiteral("--high"), QStringLiteral("8,5"),
                   o, never})
                  .status,
              2);
    EXPECT_EQ(cli({QStringLiteral("report"), good, set, one, QStringLiteral("--activation-energy"),
                   QStringLiteral("-1"), o, never})
                  .status,
              2);
    EXPECT_EQ(cli({QStringLiteral("report"), good, set, one, QStringLiteral("--model"), QStringLiteral("861"),
                   o, never})
                  .status,
              2);
    EXPECT_EQ(
        cli({QStringLiteral("report"), good, set, one, o, dir.filePath(QStringLiteral("r.txt"))}).status, 2);
    EXPECT_FALSE(QFile::exists(never));
}
