#include "platform/postgresql/pg_schema.h"

#include <array>

#include "core/text.h"
#include "production/sql_rows.h"

namespace lw {

namespace {

constexpr std::array<SqlMigration, 1> kMigrations = {{
    {1, R"(
CREATE TABLE production_rows (
  seq BIGSERIAL PRIMARY KEY,
  id TEXT NOT NULL UNIQUE,
  time TIMESTAMPTZ NOT NULL,
  command TEXT NOT NULL,
  station TEXT NOT NULL,
  operator TEXT NOT NULL,
  run_id TEXT NOT NULL,
  adapter TEXT NOT NULL,
  adapter_serial TEXT NOT NULL,
  part TEXT NOT NULL,
  size BIGINT NOT NULL,
  checksum INTEGER NOT NULL,
  image_sha256 TEXT NOT NULL,
  serial_number TEXT NOT NULL,
  serial_value BIGINT,
  serial_string TEXT NOT NULL,
  serial_pool TEXT NOT NULL,
  result TEXT NOT NULL CHECK (result IN ('pass', 'fail')),
  message TEXT NOT NULL,
  failure_phase TEXT NOT NULL,
  duration_ms BIGINT NOT NULL
);
CREATE INDEX production_rows_time ON production_rows (time);
CREATE INDEX production_rows_serial_value ON production_rows (serial_value);
CREATE INDEX production_rows_serial_string ON production_rows (serial_string);
CREATE INDEX production_rows_image ON production_rows (image_sha256 text_pattern_ops);
CREATE TABLE serial_pools (
  name TEXT PRIMARY KEY,
  next_number BIGINT NOT NULL
);
CREATE TABLE serial_numbers (
  pool TEXT NOT NULL REFERENCES serial_pools (name),
  number BIGINT NOT NULL,
  state TEXT NOT NULL CHECK (state IN ('spoiled', 'used')),
  row_id TEXT NOT NULL,
  station TEXT NOT NULL,
  adapter TEXT NOT NULL,
  issued TIMESTAMPTZ NOT NULL,
  PRIMARY KEY (pool, number)
);
)"},
}};

// Any number that no other program takes for its advisory lock.
constexpr const char* kMigrationLock = "SELECT pg_advisory_xact_lock(7311240127)";

StoreStatus currentVersion(PgConnection& db, int& version) {
  PgResult table;
  // Asked of the catalog as a query: the statement's snapshot then sees a
  // table another station made while this one waited for the lock.
  if (StoreStatus s = db.run("SELECT EXISTS (SELECT 1 FROM pg_tables WHERE schemaname = 'loomwrite' AND "
                             "tablename = 'schema_version')",
                             {}, &table);
      !s.ok())
    return s;
  if (table.text(0, 0) != "t") {
    version = 0;
    return {};
  }
  PgResult max;
  if (StoreStatus s = db.run("SELECT coalesce(max(version), 0) FROM loomwrite.schema_version", {}, &max); !s.ok())
    return s;
  version = std::stoi(max.text(0, 0).value_or("0"));
  return {};
}

}  // namespace

int postgresqlSchemaVersion() { return kMigrations.back().version; }

StoreStatus migratePostgresqlSchema(PgConnection& db) {
  int version = 0;
  if (StoreStatus s = currentVersion(db, version); !s.ok()) return s;
  if (version == postgresqlSchemaVersion()) return {};
  return db.transaction([&]() -> StoreStatus {
    if (StoreStatus s = db.run(kMigrationLock); !s.ok()) return s;
    if (StoreStatus s = currentVersion(db, version); !s.ok()) return s;
    if (version > postgresqlSchemaVersion())
      return StoreStatus::refused(format("has schema version %d, newer than this tool's %d", version,
                                         postgresqlSchemaVersion()));
    if (version == 0) {
      // Made only when missing: a schema made beforehand by the database's
      // owner needs no right to create schemas.
      PgResult schema;
      if (StoreStatus s = db.run("SELECT 1 FROM pg_namespace WHERE nspname = 'loomwrite'", {}, &schema); !s.ok())
        return s;
      if (schema.rows() == 0)
        if (StoreStatus s = db.run("CREATE SCHEMA loomwrite"); !s.ok()) return s;
      if (StoreStatus s = db.run("CREATE TABLE IF NOT EXISTS loomwrite.schema_version ("
                                 "version INTEGER PRIMARY KEY, applied TIMESTAMPTZ NOT NULL DEFAULT now())");
          !s.ok())
        return s;
    }
    for (const SqlMigration& m : kMigrations) {
      if (m.version <= version) continue;
      if (StoreStatus s = db.runScript(m.sql); !s.ok()) return s;
      if (StoreStatus s = db.run("INSERT INTO loomwrite.schema_version (version) VALUES ($1)",
                                 {SqlValue::of(static_cast<int64_t>(m.version))});
          !s.ok())
        return s;
    }
    return {};
  });
}

}  // namespace lw
