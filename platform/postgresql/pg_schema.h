#pragma once
// The PostgreSQL production log's schema, in the schema "loomwrite":
// ordered migrations, each applied once under an advisory lock (several
// stations may start on an empty database at once) and noted in
// schema_version.
#include "core/ports/production_store_port.h"
#include "platform/postgresql/pg_connection.h"

namespace lw {

int postgresqlSchemaVersion();
StoreStatus migratePostgresqlSchema(PgConnection& db);

}  // namespace lw
