#include "platform/sqlite/sqlite_store.h"

#include "core/text.h"
#include "platform/sqlite/sqlite_schema.h"
#include "production/record_query.h"
#include "production/serial_stamp.h"
#include "production/sql_rows.h"

namespace lw {

namespace {

const SqlDialect& dialect() {
  static const SqlDialect d{'?', "time", "substr(time, 1, 10)", "sum(result = 'pass')", "sum(result <> 'pass')",
                            ""};
  return d;
}

std::string marks(std::size_t n) {
  std::string out;
  for (std::size_t i = 1; i <= n; ++i) out += (i > 1 ? ", ?" : "?") + std::to_string(i);
  return out;
}

}  // namespace

SqliteStore::SqliteStore(std::string path, Use use, int busyTimeoutMs)
    : path_(std::move(path)), use_(use), busyTimeoutMs_(busyTimeoutMs) {}

StoreStatus SqliteStore::open() {
  if (StoreStatus s = db_.open(path_, use_ == Use::kWrite, busyTimeoutMs_); !s.ok()) return s;
  return migrateSqliteSchema(db_);
}

StoreStatus SqliteStore::add(const std::vector<ProductionRecord>& rows, Delivery) {
  static const std::string insert = "INSERT INTO production_rows (" + rowColumnList() + ") VALUES (" +
                                    marks(rowColumnCount()) + ") ON CONFLICT (id) DO NOTHING";
  return db_.transaction([&]() -> StoreStatus {
    for (const ProductionRecord& r : rows) {
      SqliteStatement row(db_, insert, rowValues(r));
      row.step();
      if (!row.ok()) return row.status();
      const std::optional<uint64_t> serial = serialValue(r.serialNumber);
      if (db_.changes() == 0 || !r.pass || r.serialPool.empty() || !serial) continue;
      SqliteStatement used(db_, "UPDATE serial_numbers SET state = 'used' WHERE pool = ?1 AND number = ?2 AND row_id = ?3",
                           {SqlValue::of(r.serialPool), SqlValue::of(static_cast<int64_t>(*serial)), SqlValue::of(r.id)});
      used.step();
      if (!used.ok()) return used.status();
    }
    return {};
  });
}

StoreStatus SqliteStore::select(const RecordFilter& filter, const std::function<bool(const ProductionRecord&)>& each) {
  const SqlWhere where = sqlWhere(filter, dialect());
  SqliteStatement rows(db_, "SELECT " + rowSelectList(dialect()) + " FROM production_rows" + where.clause + " ORDER BY seq",
                       where.values);
  std::vector<std::optional<std::string>> texts(rowColumnCount());
  while (rows.step()) {
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = rows.text(static_cast<int>(i));
    if (!each(recordFromColumns(texts))) break;
  }
  return rows.status();
}

StoreStatus SqliteStore::summarize(const RecordFilter& filter, SummaryKey by, std::vector<SummaryGroup>& groups) {
  const SqlWhere where = sqlWhere(filter, dialect());
  SqliteStatement rows(db_, summarySql(by, where, dialect()), where.values);
  groups.clear();
  while (rows.step())
    groups.push_back({rows.text(0).value_or(""), static_cast<uint64_t>(rows.integer(1)),
                      static_cast<uint64_t>(rows.integer(2))});
  return rows.status();
}

StoreStatus SqliteStore::takeSerial(const SerialClaim& claim, uint64_t& number) {
  return db_.transaction([&]() -> StoreStatus {
    SqliteStatement pool(db_, "INSERT INTO serial_pools (name, next_number) VALUES (?1, ?2) ON CONFLICT (name) DO NOTHING",
                         {SqlValue::of(claim.pool), SqlValue::of(static_cast<int64_t>(claim.from))});
    pool.step();
    if (!pool.ok()) return pool.status();
    SqliteStatement next(db_,
                         "UPDATE serial_pools SET next_number = max(next_number, ?2) + 1 WHERE name = ?1 "
                         "RETURNING next_number - 1",
                         {SqlValue::of(claim.pool), SqlValue::of(static_cast<int64_t>(claim.from))});
    if (!next.step()) return next.ok() ? StoreStatus::refused("the pool " + claim.pool + " cannot be read") : next.status();
    number = static_cast<uint64_t>(next.integer(0));
    while (next.step()) {
    }
    if (number > claim.highest)
      return StoreStatus::refused(format("the serial pool %s is used up: its next number 0x%s is beyond 0x%s",
                                         claim.pool.c_str(), serialDigits(number, 0).c_str(),
                                         serialDigits(claim.highest, 0).c_str()));
    SqliteStatement issued(db_,
                           "INSERT INTO serial_numbers (pool, number, state, row_id, station, adapter, issued) "
                           "VALUES (?1, ?2, 'spoiled', ?3, ?4, ?5, ?6)",
                           {SqlValue::of(claim.pool), SqlValue::of(static_cast<int64_t>(number)),
                            SqlValue::of(claim.rowId), SqlValue::of(claim.station), SqlValue::of(claim.adapter),
                            SqlValue::of(claim.time)});
    issued.step();
    return issued.status();
  });
}

StoreStatus SqliteStore::selectSerials(const std::string& pool, const std::function<bool(const SerialEntry&)>& each) {
  SqliteStatement rows(db_,
                       "SELECT pool, number, state, row_id, station, adapter, issued FROM serial_numbers "
                       "WHERE pool = ?1 ORDER BY number",
                       {SqlValue::of(pool)});
  while (rows.step()) {
    const SerialEntry e{rows.text(0).value_or(""), static_cast<uint64_t>(rows.integer(1)), rows.text(2).value_or(""),
                        rows.text(3).value_or(""), rows.text(4).value_or(""), rows.text(5).value_or(""),
                        rows.text(6).value_or("")};
    if (!each(e)) break;
  }
  return rows.status();
}

}  // namespace lw
