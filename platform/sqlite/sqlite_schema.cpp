#include "platform/sqlite/sqlite_schema.h"

#include <array>

#include "core/text.h"
#include "production/sql_rows.h"

namespace lw {

namespace {

constexpr std::array<SqlMigration, 1> kMigrations = {{
    {1, R"(
CREATE TABLE production_rows (
  seq INTEGER PRIMARY KEY,
  id TEXT NOT NULL UNIQUE,
  time TEXT NOT NULL,
  command TEXT NOT NULL,
  station TEXT NOT NULL,
  operator TEXT NOT NULL,
  run_id TEXT NOT NULL,
  adapter TEXT NOT NULL,
  adapter_serial TEXT NOT NULL,
  part TEXT NOT NULL,
  size INTEGER NOT NULL,
  checksum INTEGER NOT NULL,
  image_sha256 TEXT NOT NULL,
  serial_number TEXT NOT NULL,
  serial_value INTEGER,
  serial_string TEXT NOT NULL,
  serial_pool TEXT NOT NULL,
  result TEXT NOT NULL CHECK (result IN ('pass', 'fail')),
  message TEXT NOT NULL,
  failure_phase TEXT NOT NULL,
  duration_ms INTEGER NOT NULL
);
CREATE INDEX production_rows_time ON production_rows (time);
CREATE INDEX production_rows_serial_value ON production_rows (serial_value);
CREATE INDEX production_rows_serial_string ON production_rows (serial_string);
CREATE INDEX production_rows_image ON production_rows (image_sha256);
CREATE TABLE serial_pools (
  name TEXT PRIMARY KEY,
  next_number INTEGER NOT NULL
);
CREATE TABLE serial_numbers (
  pool TEXT NOT NULL REFERENCES serial_pools (name),
  number INTEGER NOT NULL,
  state TEXT NOT NULL CHECK (state IN ('spoiled', 'used')),
  row_id TEXT NOT NULL,
  station TEXT NOT NULL,
  adapter TEXT NOT NULL,
  issued TEXT NOT NULL,
  PRIMARY KEY (pool, number)
);
)"},
}};

// The version the database is at: 0 for an empty one; -1 when it holds
// tables but no schema_version (not a production log).
StoreStatus currentVersion(SqliteConnection& db, int& version) {
  SqliteStatement tables(db, "SELECT count(*), sum(name = 'schema_version') FROM sqlite_master WHERE type = 'table'");
  if (!tables.step()) return tables.ok() ? StoreStatus::refused("cannot be read") : tables.status();
  if (tables.integer(0) == 0) {
    version = 0;
    return {};
  }
  if (tables.integer(1) == 0) {
    version = -1;
    return {};
  }
  SqliteStatement max(db, "SELECT coalesce(max(version), 0) FROM schema_version");
  if (!max.step()) return max.ok() ? StoreStatus::refused("cannot be read") : max.status();
  version = static_cast<int>(max.integer(0));
  return {};
}

}  // namespace

int sqliteSchemaVersion() { return kMigrations.back().version; }

StoreStatus migrateSqliteSchema(SqliteConnection& db) {
  int version = 0;
  if (StoreStatus s = currentVersion(db, version); !s.ok()) return s;
  if (version == sqliteSchemaVersion()) return {};
  if (version == 0) {
    // Readers never wait for the writer; set once, kept by the file.
    if (StoreStatus s = db.exec("PRAGMA journal_mode = WAL"); !s.ok()) return s;
  }
  // Another process may be migrating too: the check is made again under the write lock.
  return db.transaction([&]() -> StoreStatus {
    if (StoreStatus s = currentVersion(db, version); !s.ok()) return s;
    if (version < 0) return StoreStatus::refused("is a SQLite database, but not a production log (no schema_version)");
    if (version > sqliteSchemaVersion())
      return StoreStatus::refused(format("has schema version %d, newer than this tool's %d", version,
                                         sqliteSchemaVersion()));
    if (version == 0) {
      if (StoreStatus s = db.exec("CREATE TABLE schema_version (version INTEGER PRIMARY KEY, applied TEXT NOT NULL)");
          !s.ok())
        return s;
    }
    for (const SqlMigration& m : kMigrations) {
      if (m.version <= version) continue;
      if (StoreStatus s = db.exec(m.sql); !s.ok()) return s;
      SqliteStatement noted(db, "INSERT INTO schema_version (version, applied) VALUES (?1, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))",
                            {SqlValue::of(static_cast<int64_t>(m.version))});
      noted.step();
      if (!noted.ok()) return noted.status();
    }
    return {};
  });
}

}  // namespace lw
