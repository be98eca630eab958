// tq880-cli archive, and the archiving of tq880-cli download.

#include "CliRun.h"
#include "GoldenFile.h"
#include "LoggerSim.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString collectionFile(const char* name) {
    return tq::test::goldenPath(QStringLiteral("collections/%1.880").arg(QLatin1String(name)));
}

// Changes a stored reading behind the archive's back.
bool tamper(const QString& file, int id) {
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tamper"));
        db.setDatabaseName(file);
        QSqlQuery q(db);
        ok = db.open() &&
             q.exec(QStringLiteral("UPDATE runs SET readings = zeroblob(length(readings)) WHERE id = %1")
                        .arg(id));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tamper"));
    return ok;
}

} // namespace

TEST(CliArchive, ImportListShowExportVerifyDelete) {
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("a.sqlite"));
    const QString file = collectionFile("fill-ff-three-sets");
    auto archive = [&](QStringList args) {
        return cli(QStringList{"archive"} + args + QStringList{"--archive", db});
    };

    const CliRun imported = archive({"import", file});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_EQ(lines(imported.out), QStringList{file + "\t3 runs\t3 new\t0 seen again"});
    EXPECT_EQ(lines(archive({"import", file}).out), QStringList{file + "\t3 runs\t0 new\t3 seen again"});

    const CliRun listed = archive({"list"});
    ASSERT_EQ(listed.status, 0);
    const QStringList rows = lines(listed.out);
    ASSERT_EQ(rows.size(), 3);
    // By start: the 2008 run first, stored as data set 3.
    EXPECT_TRUE(rows[0].startsWith("3\t2008-05-21 14:03:00\t2008-05-21 16:03:00\t60:00\t3\tC\t"))
        << rows[0].toStdString();

    const CliRun shown = archive({"show", "2"});
    ASSERT_EQ(shown.status, 0);
    EXPECT_TRUE(lines(shown.out).contains("times seen\t2"));
    EXPECT_TRUE(lines(shown.out).last().contains(QRegularExpression("^sha256\t[0-9a-f]{64}$")));

    // The archived run exports exactly as the file's data set does.
    for (const char* format : {"txt", "iso-csv"}) {
        const CliRun fromArchive = archive({"export", "2", "--format", format, "--locale", "de_DE"});
        const CliRun fromFile = cli({"export", file, "--set", "2", "--format", format, "--locale", "de_DE"});
        ASSERT_EQ(fromArchive.status, 0) << fromArchive.err.toStdString();
        EXPECT_EQ(fromArchive.out, fromFile.out) << format;
    }
    // Comma-separated values with a decimal comma are refused here too.
    EXPECT_EQ(archive({"export", "2", "--format", "csv", "--locale", "de_DE"}).status, 2);

    EXPECT_EQ(archive({"verify"}).status, 0);
    ASSERT_TRUE(tamper(db, 1));
    const CliRun verified = archive({"verify"});
    EXPECT_EQ(verified.status, 5);
    EXPECT_EQ(lines(verified.out).first(), QStringLiteral("run 1: its readings do not match their SHA-256"));

    EXPECT_EQ(archive({"delete", "2"}).status, 0);
    EXPECT_EQ(lines(archive({"list"}).out).size(), 2);
    EXPECT_EQ(archive({"show", "2"}).status, 4);
    EXPECT_EQ(archive({"delete", "2"}).status, 4);
    EXPECT_EQ(archive({"show", "x"}).status, 2);
    EXPECT_EQ(archive({"frobnicate"}).status, 2);
    EXPECT_EQ(archive({"import", collectionFile("empty-directory")}).status, 4);

    // Something that is not an archive is named and left alone.
    const QString notArchive = dir.filePath("notes.sqlite");
    {
        QFile f(notArchive);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'n'));
    }
    const CliRun refused = cli({"archive", "list", "--archive", notArchive});
    EXPECT_EQ(refused.status, 3);
    EXPECT_TRUE(refused.err.contains(notArchive.toUtf8()));
    EXPECT_EQ(fileBytes(notArchive), QByteArray(4096, 'n'));
}

TEST(CliArchive, DownloadArchivesUnlessToldNot) {
    QTemporaryDir dir;
    auto sim = std::make_unique<tq::sim::LoggerSim>(860);
    QString error;
    ASSERT_TRUE(sim->start(&error)) << error.toStdString();
    sim->setDataSets(tq::sim::LoggerSim::demoDataSets(2, 120));
    const QString db = dir.filePath("team.sqlite");
    const QStringList port{"--port", sim->devicePath()};

    const CliRun skipped =
        cli(QStringList{"download", "-o", dir.filePath("a.880"), "--no-archive", "--archive", db} + port);
    ASSERT_EQ(skipped.status, 0) << skipped.err.toStdString();
    EXPECT_FALSE(QFile::exists(db));
    const CliRun archived = cli(QStringList{"download", "-o", dir.filePath("b.880"), "--archive", db} + port);
    ASSERT_EQ(archived.status, 0) << archived.err.toStdString();
    EXPECT_EQ(lines(cli({"archive", "list", "--archive", db}).out).size(), 2);
    // --home keeps the default archive under the given folder.
    const QString home = dir.filePath("home");
    ASSERT_EQ(cli(QStringList{"download", "-o", dir.filePath("c.880"), "--home", home} + port).status, 0);
    EXPECT_EQ(lines(cli({"archive", "list", "--home", home}).out).size(), 2);
    EXPECT_TRUE(QFile::exists(home + "/TQ880-archive.sqlite"));
}
