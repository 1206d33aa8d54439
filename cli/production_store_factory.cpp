#include "cli/production_store_factory.h"

#include "platform/posix/line_file_store.h"
#include "platform/postgresql/pg_store.h"
#include "platform/sqlite/sqlite_store.h"

namespace lw::cli {

std::unique_ptr<ProductionStorePort> makeProductionStore(const StoreAddress& a, StoreUse use) {
  switch (a.kind) {
    case StoreKind::kCsv:
    case StoreKind::kJsonLines:
      return std::make_unique<LineFileStore>(
          a.target, a.kind == StoreKind::kCsv ? LineFileStore::Format::kCsv : LineFileStore::Format::kJsonLines,
          use == StoreUse::kWrite ? LineFileStore::Use::kAppend : LineFileStore::Use::kRead);
    case StoreKind::kSqlite:
      return std::make_unique<SqliteStore>(a.target,
                                           use == StoreUse::kWrite ? SqliteStore::Use::kWrite : SqliteStore::Use::kRead);
    case StoreKind::kPostgresql:
      return std::make_unique<PostgresqlStore>(a.target, a.password);
  }
  return nullptr;
}

}  // namespace lw::cli
