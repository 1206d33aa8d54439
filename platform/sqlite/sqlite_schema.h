#pragma once
// The SQLite production log's schema: ordered migrations, each applied once
// in a transaction of its own and noted in schema_version.
#include "core/ports/production_store_port.h"
#include "platform/sqlite/sqlite_connection.h"

namespace lw {

// The newest schema version this tool writes.
int sqliteSchemaVersion();

// Brings the database to sqliteSchemaVersion(); refused for a database of
// a newer version or one that is not a production log.
StoreStatus migrateSqliteSchema(SqliteConnection& db);

}  // namespace lw
