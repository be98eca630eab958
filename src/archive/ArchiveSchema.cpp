#include "ArchiveSchema.h"

namespace tq::archiveschema {

QStringList migration(int version, Dialect dialect) {
    const bool pg = dialect == Dialect::PostgreSQL;
    // Ids are never reused, so an id printed on a report names one run for good.
    const QString id =
        pg ? QStringLiteral("BIGSERIAL PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    const QString blob = pg ? QStringLiteral("BYTEA") : QStringLiteral("BLOB");
    const QString bigint = pg ? QStringLiteral("BIGINT") : QStringLiteral("INTEGER");
    switch (version) {
    case 1:
        return {
            QStringLiteral("CREATE TABLE runs ("
                           "id %1, "
                           "content_key CHAR(64) NOT NULL UNIQUE, "
                           "readings_sha256 CHAR(64) NOT NULL, "
                           "model INTEGER NOT NULL, "
                           "firmware TEXT NOT NULL DEFAULT '', "
                           "start_time DOUBLE PRECISION NOT NULL, "
                           "interval_s INTEGER NOT NULL, "
                           "flags INTEGER NOT NULL, "
                           "sample_count INTEGER NOT NULL, "
                           "min_value DOUBLE PRECISION, "
                           "max_value DOUBLE PRECISION, "
                           "avg_value DOUBLE PRECISION, "
                           "readings %2 NOT NULL, "
                           "first_seen TEXT NOT NULL, "
                           "last_seen TEXT NOT NULL, "
                           "seen_count INTEGER NOT NULL DEFAULT 1, "
                           "name TEXT NOT NULL DEFAULT '', "
                           "note TEXT NOT NULL DEFAULT '')")
                .arg(id, blob),
            QStringLiteral("CREATE INDEX runs_start ON runs (start_time)"),
        };
    case 2:
        // Deleting became undoable, and every arrival of a run is recorded.
        return {
            QStringLiteral("ALTER TABLE runs ADD COLUMN deleted INTEGER NOT NULL DEFAULT 0"),
            QStringLiteral("CREATE TABLE sightings (run_id %1 NOT NULL REFERENCES runs (id), "
                           "seen_at TEXT NOT NULL, source TEXT NOT NULL DEFAULT '')")
                .arg(bigint),
            QStringLiteral("CREATE INDEX sightings_run ON sightings (run_id)"),
            // The runs of version 1 arrived once, when first seen.
            QStringLiteral(
                "INSERT INTO sightings (run_id, seen_at, source) SELECT id, first_seen, '' FROM runs"),
        };
    default:
        return {};
    }
}

} // namespace tq::archiveschema
