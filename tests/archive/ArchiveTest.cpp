// The archive against SQLite files in a temporary folder and against a
// PostgreSQL server of the tests' own.

#include "Archive.h"
#include "ArchiveSchema.h"
#include "DataSetCollection.h"
#include "Deadline.h"
#include "EraseCheck.h"
#include "MemoryDecoder.h"
#include "MemoryImages.h"
#include "MemoryLayout.h"
#include "PgServer.h"
#include "TestRuns.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

using testing::makeRun;

enum class Engine { SQLite, PostgreSQL };

class ServerEnvironment : public ::testing::Environment {
  public:
    void TearDown() override { testing::PgServer::stopInstance(); }
};
const auto* const kServerEnvironment = ::testing::AddGlobalTestEnvironment(new ServerEnvironment);

// Runs SQL on the archive's database behind the archive's back, as a
// damaging program or an older program would.
class RawDb {
  public:
    explicit RawDb(const QString& url) {
        ArchiveLocation where;
        QString error;
        ArchiveLocation::parse(url, where, error);
        m_db = QSqlDatabase::addDatabase(
            where.engine == ArchiveLocation::Engine::SQLite ? "QSQLITE" : "QPSQL", QStringLiteral("raw"));
        if (where.engine == ArchiveLocation::Engine::SQLite) {
            m_db.setDatabaseName(where.path);
        } else {
            m_db.setHostName(where.host);
            m_db.setPort(where.port);
            m_db.setUserName(where.user);
            m_db.setDatabaseName(where.database);
        }
        m_db.open();
    }
    ~RawDb() {
        m_db.close();
        m_db = {};
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    }
    bool exec(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(m_db);
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        return q.exec();
    }

  private:
    QSqlDatabase m_db;
};

class ArchiveTest : public ::testing::TestWithParam<Engine> {
  protected:
    void SetUp() override {
        if (GetParam() == Engine::SQLite) {
            m_url = m_dir.filePath(QStringLiteral("archive/runs.sqlite"));
            return;
        }
        QString why;
        testing::PgServer* server = testing::PgServer::instance(why);
        // Skipped only where PostgreSQL is not installed; one that will not start is a failure.
        if (!server && !testing::PgServer::installed())
            GTEST_SKIP() << "PostgreSQL is not installed: " << why.toStdString();
        ASSERT_TRUE(server) << why.toStdString();
        m_url = server->newDatabaseUrl();
    }

    std::unique_ptr<Archive> open() {
        QString error;
        auto a = Archive::open(m_url, error);
        EXPECT_TRUE(a) << error.toStdString();
        return a;
    }

    QTemporaryDir m_dir;
    QString m_url;
};

TEST_P(ArchiveTest, keepsEveryRunExactlyAndOnce) {
    auto a = open();
    ASSERT_TRUE(a);
    RunReadings marks = makeRun(2, 5, 2, 0x01);
    marks.counts = {-32768, -2001, 0, 13700, 13701};
    std::vector<Archive::Added> added;
    ASSERT_TRUE(a->addRuns({makeRun(1, 1000), marks}, {862, QStringLiteral("V1.2"), "download"}, added))
        << a->lastError().toStdString();
    ASSERT_EQ(added.size(), 2u);
    EXPECT_FALSE(added[0].seenAgain);
    EXPECT_NE(added[0].id, added[1].id);

    std::vector<ArchivedRun> runs;
    ASSERT_TRUE(a->list(runs));
    ASSERT_EQ(runs.size(), 2u);
    const ArchivedRun m = runs[1];
    EXPECT_EQ(m.id, added[1].id);
    EXPECT_EQ(m.model, 862);
    EXPECT_EQ(m.firmware, QStringLiteral("V1.2"));
    EXPECT_DOUBLE_EQ(m.startTime, marks.startTime);
    EXPECT_EQ(m.intervalSeconds, 2);
    EXPECT_TRUE(m.fahrenheit());
    EXPECT_EQ(m.sampleCount, 5);
    // The marks are no readings: 0.0 and 1370.0 are the only ones.
    EXPECT_DOUBLE_EQ(*m.minimum, 0.0);
    EXPECT_NEAR(*m.maximum, 1370.0, 1e-3);
    EXPECT_NEAR(*m.average, 685.0, 1e-3);
    EXPECT_DOUBLE_EQ(m.endTime(), marks.startTime + 8.0 / 86400.0);
    EXPECT_EQ(m.readingsSha256, archiverun::readingsHash(archiverun::blobOf(marks.counts)));

    RunReadings back;
    ASSERT_TRUE(a->readings(m.id, back));
    EXPECT_EQ(back.counts, marks.counts);
    EXPECT_EQ(back.flags, 0x01);

    // The same runs again, from another program: seen again, nothing stored twice.
    auto other = open();
    std::vector<Archive::Added> again;
    ASSERT_TRUE(other->addRuns({marks, makeRun(1, 1000), makeRun(3)}, {}, again))
        << other->lastError().toStdString();
    EXPECT_TRUE(again[0].seenAgain);
    EXPECT_EQ(again[0].id, added[1].id);
    EXPECT_TRUE(again[1].seenAgain);
    EXPECT_FALSE(again[2].seenAgain);
    // One reading different, or a second later: another run.
    RunReadings changed = marks;
    changed.counts[2] = 1;
    RunReadings later = marks;
    later.startTime += 1.0 / 86400.0;
    ASSERT_TRUE(other->addRuns({changed, later}, {}, again));
    EXPECT_FALSE(again[0].seenAgain);
    EXPECT_FALSE(again[1].seenAgain);
    ASSERT_TRUE(a->list(runs));
    EXPECT_EQ(runs.size(), 5u);
    ArchivedRun seen;
    ASSERT_TRUE(a->find(added[1].id, seen));
    EXPECT_EQ(seen.seenCount, 2);

    // Name and note; delete, undo, delete for good.
    ASSERT_TRUE(a->setNameAndNote(m.id, QStringLiteral("Fridge 3"), QStringLiteral("door left open")))
        << a->lastError().toStdString();
    ASSERT_TRUE(a->find(m.id, seen));
    EXPECT_EQ(seen.name, QStringLiteral("Fridge 3"));
    EXPECT_EQ(seen.note, QStringLiteral("door left open"));
    EXPECT_FALSE(a->purge(m.id)) << "a run not deleted stays";
    ASSERT_TRUE(a->setDeleted(m.id, true));
    ASSERT_TRUE(a->list(runs));
    EXPECT_EQ(runs.size(), 4u);
    ASSERT_TRUE(a->setDeleted(m.id, false));
    ASSERT_TRUE(a->list(runs));
    EXPECT_EQ(runs.size(), 5u);
    ASSERT_TRUE(a->setDeleted(m.id, true));
    ASSERT_TRUE(a->purge(m.id)) << a->lastError().toStdString();
    EXPECT_FALSE(a->find(m.id, seen));
    EXPECT_FALSE(a->setDeleted(999999, true));
}

TEST_P(ArchiveTest, aDownloadIsStoredWholeOrNotAtAll) {
    auto a = open();
    ASSERT_TRUE(a);
    std::vector<Archive::Added> added;
    RunReadings tooLong = makeRun(7, 1);
    tooLong.counts.resize(size_t(archiverun::kMaxReadings) + 1);
    EXPECT_FALSE(a->addRuns({makeRun(5), makeRun(6), tooLong}, {}, added));
    EXPECT_FALSE(a->lastError().isEmpty());
    std::vector<ArchivedRun> runs;
    ASSERT_TRUE(a->list(runs));
    EXPECT_TRUE(runs.empty());
    ASSERT_TRUE(a->addRuns({makeRun(5)}, {}, added));
    ASSERT_TRUE(a->list(runs));
    EXPECT_EQ(runs.size(), 1u);
}

TEST_P(ArchiveTest, verifyNamesRunsWhoseReadingsChanged) {
    auto a = open();
    ASSERT_TRUE(a);
    std::vector<Archive::Added> added;
    ASSERT_TRUE(a->addRuns({makeRun(1), makeRun(2), makeRun(3)}, {}, added));
    Archive::Verified v;
    ASSERT_TRUE(a->verify(v));
    EXPECT_EQ(v.checked, 3);
    EXPECT_TRUE(v.changed.empty());

    RunReadings changed = makeRun(2);
    changed.counts[50] += 1;
    RunReadings shortened = makeRun(3);
    shortened.counts.pop_back();
    {
        RawDb raw(m_url);
        ASSERT_TRUE(raw.exec(QStringLiteral("UPDATE runs SET readings = ? WHERE id = ?"),
                             {archiverun::blobOf(changed.counts), added[1].id}));
        ASSERT_TRUE(raw.exec(QStringLiteral("UPDATE runs SET readings = ? WHERE id = ?"),
                             {archiverun::blobOf(shortened.counts), added[2].id}));
    }
    ASSERT_TRUE(a->verify(v));
    ASSERT_EQ(v.changed.size(), 2u);
    EXPECT_EQ(v.changed[0].first, added[1].id);
    EXPECT_EQ(v.changed[1].first, added[2].id);
    // A row whose readings do not fit its count is refused, not read past.
    RunReadings back;
    EXPECT_FALSE(a->readings(added[2].id, back));
    EXPECT_TRUE(a->lastError().contains(QStringLiteral("damaged")));
    EXPECT_TRUE(a->readings(added[0].id, back));
}

TEST_P(ArchiveTest, aRunNamingAnUnknownLoggerModelIsRefusedWithItsReason) {
    auto a = open();
    ASSERT_TRUE(a);
    std::vector<Archive::Added> added;
    ASSERT_TRUE(a->addRuns({makeRun(1), makeRun(2)}, {862, {}, "download"}, added));
    std::vector<Archive::Added> opened;
    ASSERT_TRUE(a->addRuns({makeRun(3)}, {0, {}, "file"}, opened));
    {
        // Another program wrote a model this one does not know.
        RawDb raw(m_url);
        ASSERT_TRUE(raw.exec(QStringLiteral("UPDATE runs SET model = ? WHERE id = ?"), {999, added[1].id}));
    }
    RunReadings back;
    EXPECT_FALSE(a->readings(added[1].id, back));
    EXPECT_TRUE(a->lastError().contains(QStringLiteral("logger model 999"))) << a->lastError().toStdString();
    // The row is listed as stored; known models and a run from a file still open.
    ArchivedRun listed;
    ASSERT_TRUE(a->find(added[1].id, listed));
    EXPECT_EQ(listed.model, 999);
    EXPECT_TRUE(a->readings(added[0].id, back)) << a->lastError().toStdString();
    EXPECT_TRUE(a->readings(opened[0].id, back)) << a->lastError().toStdString();
}

TEST_P(ArchiveTest, olderSchemaIsBroughtUpToDate) {
    QString error;
    {
        auto old = Archive::openAtVersion(m_url, 1, error);
        ASSERT_TRUE(old) << error.toStdString();
        EXPECT_EQ(old->schemaVersion(), 1);
    }
    // A run as the first version of the program stored it.
    const RunReadings run = makeRun(4);
    const QByteArray blob = archiverun::blobOf(run.counts);
    {
        RawDb raw(m_url);
        ASSERT_TRUE(raw.exec(
            QStringLiteral(
                "INSERT INTO runs (content_key, readings_sha256, model, start_time, interval_s, flags, "
                "sample_count, readings, first_seen, last_seen) VALUES (?, ?, 860, ?, ?, 0, ?, ?, "
                "'2026-01-02T03:04:05Z', '2026-01-02T03:04:05Z')"),
            {archiverun::contentKey(run, blob), archiverun::readingsHash(blob), run.startTime,
             run.intervalSeconds, int(run.counts.size()), blob}));
    }
    auto a = open();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->schemaVersion(), Archive::kSchemaVersion);
    std::vector<ArchivedRun> runs;
    ASSERT_TRUE(a->list(runs));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_FALSE(runs[0].deleted);
    std::vector<Archive::Added> added;
    ASSERT_TRUE(a->addRuns({run}, {}, added));
    EXPECT_TRUE(added[0].seenAgain);
    EXPECT_EQ(added[0].id, runs[0].id);
}

// Two programs archiving at once: every download whole, the runs they share stored once.
TEST_P(ArchiveTest, twoProgramsArchivingAtOnce) {
    { ASSERT_TRUE(open()); }
    constexpr int kDownloads = 15;
    QProcess first, second;
    for (auto [p, seed] : {std::pair{&first, 1}, std::pair{&second, 2}}) {
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(TQ880_ARCHIVE_CHILD),
                 {QStringLiteral("add"), m_url, QString::number(seed), QString::number(kDownloads)});
    }
    for (QProcess* p : {&first, &second}) {
        ASSERT_TRUE(p->waitForFinished(kEventDeadlineMs * 3));
        EXPECT_EQ(p->exitCode(), 0);
    }
    auto a = open();
    std::vector<ArchivedRun> runs;
    ASSERT_TRUE(a->list(runs));
    // kDownloads shared runs and kDownloads of each program's own.
    EXPECT_EQ(runs.size(), size_t(3 * kDownloads));
    int seen = 0;
    for (const ArchivedRun& r : runs)
        seen += r.seenCount;
    EXPECT_EQ(seen, 4 * kDownloads);
}

// A program killed in the middle of archiving: the archive opens cleanly,
// without any run of that download, and takes the next one.
TEST_P(ArchiveTest, killedInTheMiddleOfADownload) {
    {
        auto a = open();
        ASSERT_TRUE(a);
        std::vector<Archive::Added> added;
        ASSERT_TRUE(a->addRuns({makeRun(1)}, {}, added));
    }
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(TQ880_ARCHIVE_CHILD), {QStringLiteral("hang"), m_url});
    QByteArray said;
    QElapsedTimer t;
    t.start();
    while (!said.contains("M\n") && t.elapsed() < kEventDeadlineMs && child.state() != QProcess::NotRunning) {
        child.waitForReadyRead(100);
        said += child.readAllStandardOutput();
    }
    ASSERT_TRUE(said.contains("M\n"));
    child.kill();
    child.waitForFinished(kEventDeadlineMs);

    auto a = open();
    ASSERT_TRUE(a);
    std::vector<ArchivedRun> runs;
    ASSERT_TRUE(a->list(runs));
    EXPECT_EQ(runs.size(), 1u);
    std::vector<Archive::Added> added;
    ASSERT_TRUE(a->addRuns({makeRun(900), makeRun(902)}, {}, added)) << a->lastError().toStdString();
    EXPECT_FALSE(added[0].seenAgain);
    Archive::Verified v;
    ASSERT_TRUE(a->verify(v));
    EXPECT_EQ(v.checked, 3);
    EXPECT_TRUE(v.changed.empty());
}

TEST_P(ArchiveTest, countsTheDataSetsOfADirectoryThatAreArchived) {
    auto a = open();
    ASSERT_TRUE(a);
    // Three data sets of 100, 50 and 10 samples; the first two archived.
    const QByteArray memory = testing::memoryEndingAt(0xFF, {456, 556, 576}, 576);
    DataSetCollection decoded;
    ASSERT_EQ(decodeMemoryImage(ByteReader(memory), memory.size(), 3, decoded), DownloadResult::Ok);
    std::vector<RunReadings> runs = archiverun::runsOf(ByteReader(memory), decoded);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].counts.size(), 50u);
    EXPECT_EQ(runs[1].counts[0], 0x1111);
    runs.pop_back();
    std::vector<Archive::Added> added;
    ASSERT_TRUE(a->addRuns(runs, {}, added));

    const QByteArray directory = memory.left(memory::kDirectorySize);
    EXPECT_EQ(erasecheck::eraseNote(a.get(), directory, kModel860),
              QStringLiteral("1 of 3 data sets has never been downloaded."));
    RunReadings last;
    last.startTime = decoded.dataSet(2).startTime;
    last.intervalSeconds = 2;
    last.counts.assign(10, 0x1111);
    ASSERT_TRUE(a->addRuns({last}, {}, added));
    EXPECT_EQ(erasecheck::eraseNote(a.get(), directory, kModel860),
              QStringLiteral("All 3 data sets are in the archive."));
    EXPECT_EQ(erasecheck::eraseNote(nullptr, directory, kModel860).left(27),
              QStringLiteral("The archive cannot be read,"));
    EXPECT_TRUE(erasecheck::eraseNote(a.get(), directory.left(100), kModel860).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         [](const auto& info) {
                             return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
                         });

// --- what only one engine can meet --------------------------------------------

QByteArray bytesOf(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ArchiveFileTest, aFileThatIsNoArchiveIsNamedAndLeftAlone) {
    QTemporaryDir dir;
    QString error;
    const QString garbage = dir.filePath(QStringLiteral("garbage.sqlite"));
    QByteArray junk(40000, 'x');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 131) ^ (i >> 3));
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    EXPECT_FALSE(Archive::open(garbage, error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(garbage))) << error.toStdString();
    EXPECT_EQ(bytesOf(garbage), junk);

    // A good archive cut short: refused or read, never a crash.
    const QString good = dir.filePath(QStringLiteral("good.sqlite"));
    {
        auto a = Archive::open(good, error);
        ASSERT_TRUE(a);
        std::vector<Archive::Added> added;
        ASSERT_TRUE(a->addRuns({makeRun(1, 20000), makeRun(2, 20000)}, {}, added));
    }
    QFile::remove(good + QStringLiteral("-wal"));
    QFile::remove(good + QStringLiteral("-shm"));
    QByteArray cut = bytesOf(good);
    ASSERT_GT(cut.size(), 20000);
    cut.truncate(cut.size() / 2);
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cut);
    }
    if (auto a = Archive::open(good, error)) {
        std::vector<ArchivedRun> runs;
        Archive::Verified v;
        if (a->list(runs) && a->verify(v)) {
            EXPECT_LE(v.checked, 2);
        }
    }

    // Another program's database, and one of a newer program.
    const QString foreign = dir.filePath(QStringLiteral("foreign.sqlite"));
    {
        RawDb raw(foreign);
        ASSERT_TRUE(raw.exec(QStringLiteral("CREATE TABLE contacts (name TEXT)")));
    }
    EXPECT_FALSE(Archive::open(foreign, error));
    EXPECT_TRUE(error.contains(QStringLiteral("not a TQ880 archive")));
    const QString newer = dir.filePath(QStringLiteral("newer.sqlite"));
    { ASSERT_TRUE(Archive::open(newer, error)); }
    {
        RawDb raw(newer);
        ASSERT_TRUE(raw.exec(QStringLiteral("UPDATE schema_version SET version = 99")));
    }
    EXPECT_FALSE(Archive::open(newer, error));
    EXPECT_TRUE(error.contains(QStringLiteral("newer program")));
    EXPECT_FALSE(Archive::open(dir.path(), error)) << "a folder";
}

TEST(ArchiveServerTest, aServerThatIsDownIsNamed) {
    QString error;
    const QString url =
        QStringLiteral("postgresql://tq880@127.0.0.1:%1/archive").arg(testing::freeLoopbackPort());
    EXPECT_FALSE(Archive::open(url, error));
    EXPECT_TRUE(error.contains(url)) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("cannot be reached")));
    for (const char* bad : {"postgresql://host-only", "postgresql:///db", ""})
        EXPECT_FALSE(Archive::open(QString::fromLatin1(bad), error)) << bad;
}

TEST(EraseTextTest, saysHowManyDataSetsAreArchived) {
    EXPECT_EQ(erasecheck::archivedText(4, 4), QStringLiteral("all 4 data sets are in the archive"));
    EXPECT_EQ(erasecheck::archivedText(2, 4), QStringLiteral("2 of 4 data sets have never been downloaded"));
    EXPECT_EQ(erasecheck::archivedText(0, 1), QStringLiteral("1 of 1 data sets has never been downloaded"));
    EXPECT_EQ(erasecheck::archivedText(1, 1), QStringLiteral("the data set is in the archive"));
    EXPECT_TRUE(erasecheck::archivedText(0, 0).isEmpty());
    // Model 862 ends its directory with 00, and a record with an impossible date matches no run.
    QByteArray directory = testing::memoryEndingAt(0x00, {456, 556}, 256);
    directory[16 + 5] = 13;
    const std::vector<DataSet> sets = erasecheck::directoryDataSets(directory, 0x00);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].startTime, 0.0);
    EXPECT_EQ(sets[1].sampleCount, 50);
    EXPECT_EQ(sets[1].intervalSeconds, 2);
}

} // namespace
} // namespace tq
