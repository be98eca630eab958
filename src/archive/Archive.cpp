#include "Archive.h"

#include "ArchiveSchema.h"
#include "LoggerModel.h"
#include "MemoryDecoder.h"
#include "RunStatistics.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <atomic>
#include <cmath>
#include <set>
#include <tuple>

namespace tq {

namespace {

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("tq880-archive-%1").arg(++counter);
}

QString nowUtc() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

// A null QString binds as NULL; the text columns hold '' instead.
QString text(const QString& s) {
    return s.isNull() ? QStringLiteral("") : s;
}

qint64 wholeSeconds(TDateTime t) {
    return std::llround(t * kSecondsPerDay);
}

QVariant optionalDouble(const std::optional<double>& v) {
    return v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Double));
}

std::optional<double> optionalOf(const QVariant& v) {
    if (v.isNull()) return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d)) return std::nullopt;
    return d;
}

const char* const kListColumns =
    "id, model, firmware, start_time, interval_s, flags, sample_count, min_value, max_value, avg_value, "
    "first_seen, last_seen, seen_count, name, note, readings_sha256, deleted";

// A row as listed. Every field is bounded, so a damaged row lists as
// something harmless; readings() refuses it.
ArchivedRun runOfRow(const QSqlQuery& q) {
    ArchivedRun r;
    r.id = q.value(0).toLongLong();
    r.model = q.value(1).toInt();
    r.firmware = q.value(2).toString().left(64);
    r.startTime = q.value(3).toDouble();
    if (!std::isfinite(r.startTime)) r.startTime = 0.0;
    r.intervalSeconds = std::clamp(q.value(4).toInt(), 0, 65535);
    r.flags = quint8(q.value(5).toInt() & 0xFF);
    r.sampleCount = std::clamp(q.value(6).toInt(), 0, archiverun::kMaxReadings);
    r.minimum = optionalOf(q.value(7));
    r.maximum = optionalOf(q.value(8));
    r.average = optionalOf(q.value(9));
    r.firstSeen = q.value(10).toString();
    r.lastSeen = q.value(11).toString();
    r.seenCount = q.value(12).toInt();
    r.name = q.value(13).toString();
    r.note = q.value(14).toString();
    r.readingsSha256 = q.value(15).toString();
    r.deleted = q.value(16).toInt() != 0;
    return r;
}

struct Extremes {
    std::optional<double> min, max, average;
};

Extremes extremesOf(const std::vector<qint16>& counts) {
    Extremes e;
    double sum = 0.0;
    qint64 n = 0;
    for (qint16 c : counts) {
        const float v = sampleValue(c);
        if (!isReading(v)) continue;
        e.min = e.min ? std::min(*e.min, double(v)) : double(v);
        e.max = e.max ? std::max(*e.max, double(v)) : double(v);
        sum += v;
        ++n;
    }
    if (n > 0) e.average = sum / double(n);
    return e;
}

} // namespace

// --- location ---------------------------------------------------------------

bool ArchiveLocation::parse(const QString& url, ArchiveLocation& out, QString& error) {
    out = {};
    const QString text = url.trimmed();
    if (text.isEmpty()) {
        error = QStringLiteral("No archive was named.");
        return false;
    }
    if (text.startsWith(QLatin1String("postgresql://")) || text.startsWith(QLatin1String("postgres://"))) {
        const QUrl u(text, QUrl::StrictMode);
        const QString db = u.path().mid(1);
        if (!u.isValid() || u.host().isEmpty() || db.isEmpty() || db.contains(QLatin1Char('/'))) {
            error = QStringLiteral("\"%1\" is not an archive address: it takes the form "
                                   "postgresql://user@host[:port]/database.")
                        .arg(text);
            return false;
        }
        out.engine = Engine::PostgreSQL;
        out.host = u.host();
        out.port = u.port(5432);
        out.user = u.userName();
        out.password = u.password();
        out.database = db;
        return true;
    }
    out.engine = Engine::SQLite;
    out.path = text.startsWith(QLatin1String("sqlite:")) ? text.mid(7) : text;
    if (out.path.isEmpty()) {
        error = QStringLiteral("\"%1\" names no archive file.").arg(text);
        return false;
    }
    return true;
}

QString ArchiveLocation::displayName() const {
    if (engine == Engine::SQLite) return QDir::toNativeSeparators(path);
    QString s = QStringLiteral("postgresql://");
    if (!user.isEmpty()) s += user + QLatin1Char('@');
    return s + host + QLatin1Char(':') + QString::number(port) + QLatin1Char('/') + database;
}

// --- opening ----------------------------------------------------------------

std::unique_ptr<Archive> Archive::open(const QString& url, QString& error) {
    return openUpTo(url, kSchemaVersion, error);
}

std::unique_ptr<Archive> Archive::openAtVersion(const QString& url, int upTo, QString& error) {
    return openUpTo(url, std::clamp(upTo, 1, kSchemaVersion), error);
}

std::unique_ptr<Archive> Archive::openUpTo(const QString& url, int upTo, QString& error) {
    std::unique_ptr<Archive> a(new Archive);
    if (!ArchiveLocation::parse(url, a->m_location, error)) return nullptr;
    if (!a->connect() || !a->migrate(upTo)) {
        error = a->m_error;
        return nullptr;
    }
    return a;
}

Archive::~Archive() {
    if (m_connection.isEmpty()) return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool Archive::fail(const QString& what, const QString& detail) {
    m_error = detail.trimmed().isEmpty()
                  ? QStringLiteral("The archive %1: %2.").arg(m_location.displayName(), what)
                  : QStringLiteral("The archive %1: %2 (%3).")
                        .arg(m_location.displayName(), what, detail.trimmed());
    return false;
}

bool Archive::connect() {
    m_connection = nextConnectionName();
    if (sqlite()) {
        const QFileInfo file(m_location.path);
        if (file.exists() && !file.isFile()) return fail(QStringLiteral("is not a file"), {});
        if (!file.exists() && !QDir().mkpath(file.absolutePath()))
            return fail(QStringLiteral("its folder cannot be made"), file.absolutePath());
        if (file.exists() && !file.isReadable()) return fail(QStringLiteral("cannot be read"), {});
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        if (!db.isValid())
            return fail(QStringLiteral("cannot be opened"), QStringLiteral("no SQLite driver"));
        db.setDatabaseName(file.absoluteFilePath());
        // Another program archiving at the same moment holds the write lock
        // for the length of one download; wait for it rather than fail.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=15000"));
        if (!db.open()) return fail(QStringLiteral("cannot be opened"), db.lastError().text());
        // A file that is not a database fails here, before anything is written.
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            return fail(QStringLiteral("is damaged or not an archive"), q.lastError().text());
        q.finish();
        if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
            return fail(QStringLiteral("cannot be opened for writing"), q.lastError().text());
        q.finish();
        return true;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
    if (!db.isValid())
        return fail(QStringLiteral("cannot be reached"), QStringLiteral("no PostgreSQL driver"));
    db.setHostName(m_location.host);
    db.setPort(m_location.port);
    db.setDatabaseName(m_location.database);
    if (!m_location.user.isEmpty()) db.setUserName(m_location.user);
    if (!m_location.password.isEmpty()) db.setPassword(m_location.password);
    db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    if (!db.open()) return fail(QStringLiteral("cannot be reached"), db.lastError().text());
    return exec(QStringLiteral("SET client_min_messages TO WARNING"));
}

bool Archive::exec(const QString& sql) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (q.exec(sql)) return true;
    return fail(QStringLiteral("a command failed"), q.lastError().text());
}

bool Archive::begin() {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // SQLite: take the write lock at once, so two writers queue instead of
    // one failing when it turns from reading to writing.
    if (sqlite()) return exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (!db.transaction()) return fail(QStringLiteral("a transaction failed"), db.lastError().text());
    return true;
}

bool Archive::commit() {
    if (sqlite()) return exec(QStringLiteral("COMMIT"));
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.commit()) return fail(QStringLiteral("a transaction failed"), db.lastError().text());
    return true;
}

void Archive::rollback() {
    const QString error = m_error;
    if (sqlite())
        exec(QStringLiteral("ROLLBACK"));
    else
        QSqlDatabase::database(m_connection, false).rollback();
    m_error = error;
}

bool Archive::migrate(int upTo) {
    if (!begin()) return false;
    if (!runMigrations(upTo)) {
        rollback();
        return false;
    }
    return commit();
}

bool Archive::runMigrations(int upTo) {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    const archiveschema::Dialect dialect =
        sqlite() ? archiveschema::Dialect::SQLite : archiveschema::Dialect::PostgreSQL;
    // Two programs opening a new archive at once: the second waits here
    // until the first has built the tables.
    if (!sqlite() && !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(880020)")))
        return fail(QStringLiteral("cannot be locked"), q.lastError().text());
    const QStringList tables = db.tables();
    if (!tables.contains(QStringLiteral("schema_version"))) {
        // Never build into a database that holds something else.
        if (tables.contains(QStringLiteral("runs")) || (sqlite() && !tables.isEmpty()))
            return fail(QStringLiteral("is not a TQ880 archive"), {});
        if (!q.exec(QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)")) ||
            !q.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (0)")))
            return fail(QStringLiteral("cannot be created"), q.lastError().text());
    }
    if (!q.exec(QStringLiteral("SELECT version FROM schema_version")) || !q.next())
        return fail(QStringLiteral("is damaged: it has no schema version"), q.lastError().text());
    m_version = q.value(0).toInt();
    q.finish();
    if (m_version > kSchemaVersion)
        return fail(QStringLiteral("was written by a newer program (schema version %1)").arg(m_version), {});
    while (m_version < upTo) {
        for (const QString& sql : archiveschema::migration(m_version + 1, dialect))
            if (!q.exec(sql)) return fail(QStringLiteral("cannot be updated"), q.lastError().text());
        ++m_version;
        q.prepare(QStringLiteral("UPDATE schema_version SET version = ?"));
        q.addBindValue(m_version);
        if (!q.exec()) return fail(QStringLiteral("cannot be updated"), q.lastError().text());
    }
    return true;
}

// --- runs -------------------------------------------------------------------

bool Archive::addRuns(const std::vector<RunReadings>& runs, const Origin& origin, std::vector<Added>& added,
                      const std::function<void(int)>& afterRun) {
    added.clear();
    if (!begin()) return false;
    const QString now = nowUtc();
    for (const RunReadings& run : runs) {
        Added a;
        if (!addRun(run, origin, now, a)) {
            rollback();
            added.clear();
            return false;
        }
        added.push_back(a);
        if (afterRun) afterRun(int(added.size()));
    }
    if (commit()) return true;
    rollback();
    added.clear();
    return false;
}

bool Archive::addRun(const RunReadings& run, const Origin& origin, const QString& now, Added& added) {
    if (run.counts.size() > size_t(archiverun::kMaxReadings))
        return fail(QStringLiteral("a run holds more readings than any logger memory"), {});
    const QByteArray blob = archiverun::blobOf(run.counts);
    const QString key = archiverun::contentKey(run, blob);
    const Extremes e = extremesOf(run.counts);
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    // The unique key decides between two writers of the same run: the
    // second inserts nothing and counts a sighting.
    q.prepare(QStringLiteral(
        "INSERT INTO runs (content_key, readings_sha256, model, firmware, start_time, interval_s, flags, "
        "sample_count, min_value, max_value, avg_value, readings, first_seen, last_seen, seen_count) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1) ON CONFLICT (content_key) DO NOTHING"));
    q.addBindValue(key);
    q.addBindValue(archiverun::readingsHash(blob));
    q.addBindValue(origin.model);
    q.addBindValue(text(origin.firmware.left(64)));
    q.addBindValue(run.startTime);
    q.addBindValue(run.intervalSeconds);
    q.addBindValue(int(run.flags));
    q.addBindValue(int(run.counts.size()));
    q.addBindValue(optionalDouble(e.min));
    q.addBindValue(optionalDouble(e.max));
    q.addBindValue(optionalDouble(e.average));
    q.addBindValue(blob);
    q.addBindValue(now);
    q.addBindValue(now);
    if (!q.exec()) return fail(QStringLiteral("a run cannot be stored"), q.lastError().text());
    added.seenAgain = q.numRowsAffected() == 0;
    q.finish();
    if (added.seenAgain) {
        // Arriving again brings a deleted run back: the archive keeps every run.
        q.prepare(QStringLiteral("UPDATE runs SET seen_count = seen_count + 1, last_seen = ?, deleted = 0 "
                                 "WHERE content_key = ?"));
        q.addBindValue(now);
        q.addBindValue(key);
        if (!q.exec()) return fail(QStringLiteral("a run cannot be updated"), q.lastError().text());
    }
    q.prepare(QStringLiteral("SELECT id FROM runs WHERE content_key = ?"));
    q.addBindValue(key);
    if (!q.exec() || !q.next())
        return fail(QStringLiteral("a stored run cannot be found"), q.lastError().text());
    added.id = q.value(0).toLongLong();
    q.finish();
    q.prepare(QStringLiteral("INSERT INTO sightings (run_id, seen_at, source) VALUES (?, ?, ?)"));
    q.addBindValue(added.id);
    q.addBindValue(now);
    q.addBindValue(text(origin.source));
    if (!q.exec()) return fail(QStringLiteral("a sighting cannot be stored"), q.lastError().text());
    return true;
}

bool Archive::list(std::vector<ArchivedRun>& runs) {
    runs.clear();
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM runs WHERE deleted = 0 ORDER BY start_time, id")
                    .arg(QLatin1String(kListColumns))))
        return fail(QStringLiteral("cannot be listed"), q.lastError().text());
    while (q.next())
        runs.push_back(runOfRow(q));
    return true;
}

bool Archive::find(qint64 id, ArchivedRun& run) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT %1 FROM runs WHERE id = ?").arg(QLatin1String(kListColumns)));
    q.addBindValue(id);
    if (!q.exec()) return fail(QStringLiteral("cannot be read"), q.lastError().text());
    if (!q.next()) return fail(QStringLiteral("holds no run %1").arg(id), {});
    run = runOfRow(q);
    return true;
}

bool Archive::readings(qint64 id, RunReadings& run) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT start_time, interval_s, flags, sample_count, readings, model FROM runs WHERE id = ?"));
    q.addBindValue(id);
    if (!q.exec()) return fail(QStringLiteral("cannot be read"), q.lastError().text());
    if (!q.next()) return fail(QStringLiteral("holds no run %1").arg(id), {});
    run.startTime = q.value(0).toDouble();
    run.intervalSeconds = q.value(1).toInt();
    run.flags = quint8(q.value(2).toInt() & 0xFF);
    const qint64 count = q.value(3).toLongLong();
    const QByteArray blob = q.value(4).toByteArray();
    if (!std::isfinite(run.startTime) || run.intervalSeconds < 0 || run.intervalSeconds > 65535 ||
        count < 0 || count > archiverun::kMaxReadings || blob.size() != 2 * count ||
        !archiverun::countsOf(blob, run.counts))
        return fail(QStringLiteral("run %1 is damaged").arg(id), {});
    // 0 is a run from an opened file; any other code must name a model, or
    // its readings would be shown as an 860's.
    bool numeric = false;
    const int model = q.value(5).toInt(&numeric);
    if (!numeric) return fail(QStringLiteral("run %1 is damaged").arg(id), {});
    if (model != 0 && !findLoggerModel(model))
        return fail(QStringLiteral("run %1 is refused: %2").arg(id).arg(unknownModelText(model)), {});
    return true;
}

bool Archive::setNameAndNote(qint64 id, const QString& name, const QString& note) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE runs SET name = ?, note = ? WHERE id = ?"));
    q.addBindValue(text(name));
    q.addBindValue(text(note));
    q.addBindValue(id);
    if (!q.exec()) return fail(QStringLiteral("cannot be changed"), q.lastError().text());
    if (q.numRowsAffected() == 0) return fail(QStringLiteral("holds no run %1").arg(id), {});
    return true;
}

bool Archive::setDeleted(qint64 id, bool deleted) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE runs SET deleted = ? WHERE id = ?"));
    q.addBindValue(deleted ? 1 : 0);
    q.addBindValue(id);
    if (!q.exec()) return fail(QStringLiteral("cannot be changed"), q.lastError().text());
    if (q.numRowsAffected() == 0) return fail(QStringLiteral("holds no run %1").arg(id), {});
    return true;
}

bool Archive::purge(qint64 id) {
    if (!begin()) return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    // Only a run still deleted: one that arrived again since is kept.
    q.prepare(QStringLiteral(
        "DELETE FROM sightings WHERE run_id IN (SELECT id FROM runs WHERE id = ? AND deleted = 1)"));
    q.addBindValue(id);
    bool ok = q.exec();
    if (ok) {
        q.prepare(QStringLiteral("DELETE FROM runs WHERE id = ? AND deleted = 1"));
        q.addBindValue(id);
        ok = q.exec();
    }
    if (!ok) {
        fail(QStringLiteral("cannot be changed"), q.lastError().text());
        rollback();
        return false;
    }
    const bool found = q.numRowsAffected() > 0;
    q.finish();
    if (!commit()) {
        rollback();
        return false;
    }
    return found || fail(QStringLiteral("holds no deleted run %1").arg(id), {});
}

bool Archive::verify(Verified& result) {
    result = {};
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT id, sample_count, readings_sha256, readings FROM runs ORDER BY id")))
        return fail(QStringLiteral("cannot be read"), q.lastError().text());
    while (q.next()) {
        ++result.checked;
        const qint64 id = q.value(0).toLongLong();
        const qint64 count = q.value(1).toLongLong();
        const QByteArray blob = q.value(3).toByteArray();
        if (blob.size() != 2 * count)
            result.changed.emplace_back(
                id, QStringLiteral("holds %1 bytes of readings for %2 readings").arg(blob.size()).arg(count));
        else if (archiverun::readingsHash(blob) != q.value(2).toString())
            result.changed.emplace_back(id, QStringLiteral("its readings do not match their SHA-256"));
    }
    return true;
}

bool Archive::findRun(const DataSet& set, const float* values, ArchivedRun& run) {
    std::vector<qint64> candidates;
    {
        QSqlQuery q(QSqlDatabase::database(m_connection, false));
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT id FROM runs WHERE deleted = 0 AND interval_s = ? AND flags = ? AND "
                                 "sample_count = ? AND start_time > ? AND start_time < ?"));
        q.addBindValue(set.intervalSeconds);
        q.addBindValue(int(set.flags));
        q.addBindValue(set.sampleCount);
        q.addBindValue(set.startTime - 0.5 / kSecondsPerDay);
        q.addBindValue(set.startTime + 0.5 / kSecondsPerDay);
        if (!q.exec()) return fail(QStringLiteral("cannot be read"), q.lastError().text());
        while (q.next())
            candidates.push_back(q.value(0).toLongLong());
    }
    for (qint64 id : candidates) {
        RunReadings stored;
        if (!readings(id, stored) || int(stored.counts.size()) != set.sampleCount) continue;
        bool same = true;
        for (size_t j = 0; same && j < stored.counts.size(); ++j)
            same = sampleValue(stored.counts[j]) == values[j];
        if (same) return find(id, run);
    }
    return false;
}

bool Archive::countArchived(const std::vector<DataSet>& sets, int& archived) {
    archived = 0;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.exec(
            QStringLiteral("SELECT start_time, interval_s, flags, sample_count FROM runs WHERE deleted = 0")))
        return fail(QStringLiteral("cannot be read"), q.lastError().text());
    std::set<std::tuple<qint64, int, int, int>> kept;
    while (q.next())
        kept.emplace(wholeSeconds(q.value(0).toDouble()), q.value(1).toInt(), q.value(2).toInt() & 0xFF,
                     q.value(3).toInt());
    for (const DataSet& s : sets)
        if (kept.count({wholeSeconds(s.startTime), s.intervalSeconds, int(s.flags), s.sampleCount}))
            ++archived;
    return true;
}

} // namespace tq
