#include "platform/postgresql/pg_store.h"

#include "core/text.h"
#include "platform/postgresql/pg_schema.h"
#include "production/record_query.h"
#include "production/serial_stamp.h"
#include "production/sql_rows.h"

namespace lw {

namespace {

constexpr const char* kUtcText = "to_char(%s AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"')";

const SqlDialect& dialect() {
  static const SqlDialect d{'$', format(kUtcText, "time"), "to_char(time AT TIME ZONE 'UTC', 'YYYY-MM-DD')",
                            "count(*) FILTER (WHERE result = 'pass')", "count(*) FILTER (WHERE result <> 'pass')",
                            " COLLATE \"C\""};
  return d;
}

std::string marks(std::size_t n) {
  std::string out;
  for (std::size_t i = 1; i <= n; ++i) out += (i > 1 ? ", $" : "$") + std::to_string(i);
  return out;
}

uint64_t number(const std::optional<std::string>& text) { return text ? std::stoull(*text) : 0; }

}  // namespace

PostgresqlStore::PostgresqlStore(std::string uri, std::string password) : db_(std::move(uri), std::move(password)) {}

StoreStatus PostgresqlStore::open() {
  if (StoreStatus s = db_.connect(); !s.ok()) return s;
  return migratePostgresqlSchema(db_);
}

StoreStatus PostgresqlStore::add(const std::vector<ProductionRecord>& rows, Delivery) {
  static const std::string insert = "INSERT INTO production_rows (" + rowColumnList() + ") VALUES (" +
                                    marks(rowColumnCount()) + ") ON CONFLICT (id) DO NOTHING";
  return db_.transaction([&]() -> StoreStatus {
    for (const ProductionRecord& r : rows) {
      PgResult inserted;
      if (StoreStatus s = db_.run(insert, rowValues(r), &inserted); !s.ok()) return s;
      const std::optional<uint64_t> serial = serialValue(r.serialNumber);
      if (inserted.affected() == 0 || !r.pass || r.serialPool.empty() || !serial) continue;
      if (StoreStatus s = db_.run("UPDATE serial_numbers SET state = 'used' WHERE pool = $1 AND number = $2 AND row_id = $3",
                                  {SqlValue::of(r.serialPool), SqlValue::of(static_cast<int64_t>(*serial)),
                                   SqlValue::of(r.id)});
          !s.ok())
        return s;
    }
    return {};
  });
}

StoreStatus PostgresqlStore::select(const RecordFilter& filter,
                                    const std::function<bool(const ProductionRecord&)>& each) {
  const SqlWhere where = sqlWhere(filter, dialect());
  std::vector<std::optional<std::string>> texts(rowColumnCount());
  return db_.stream("SELECT " + rowSelectList(dialect()) + " FROM production_rows" + where.clause + " ORDER BY seq",
                    where.values, [&](const PgResult& row) {
                      for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = row.text(0, static_cast<int>(i));
                      return each(recordFromColumns(texts));
                    });
}

StoreStatus PostgresqlStore::summarize(const RecordFilter& filter, SummaryKey by, std::vector<SummaryGroup>& groups) {
  const SqlWhere where = sqlWhere(filter, dialect());
  PgResult rows;
  groups.clear();
  if (StoreStatus s = db_.run(summarySql(by, where, dialect()), where.values, &rows); !s.ok()) return s;
  for (int i = 0; i < rows.rows(); ++i)
    groups.push_back({rows.text(i, 0).value_or(""), number(rows.text(i, 1)), number(rows.text(i, 2))});
  return {};
}

StoreStatus PostgresqlStore::takeSerial(const SerialClaim& claim, uint64_t& taken) {
  return db_.transaction([&]() -> StoreStatus {
    const SqlValue pool = SqlValue::of(claim.pool);
    const SqlValue from = SqlValue::of(static_cast<int64_t>(claim.from));
    if (StoreStatus s = db_.run("INSERT INTO serial_pools (name, next_number) VALUES ($1, $2) ON CONFLICT (name) DO NOTHING",
                                {pool, from});
        !s.ok())
      return s;
    // The update holds the pool's row until the commit: a second claim waits for it.
    PgResult next;
    if (StoreStatus s = db_.run("UPDATE serial_pools SET next_number = greatest(next_number, $2) + 1 WHERE name = $1 "
                                "RETURNING next_number - 1",
                                {pool, from}, &next);
        !s.ok())
      return s;
    if (next.rows() != 1) return StoreStatus::refused("the pool " + claim.pool + " cannot be read");
    taken = number(next.text(0, 0));
    if (taken > claim.highest)
      return StoreStatus::refused(format("the serial pool %s is used up: its next number 0x%s is beyond 0x%s",
                                         claim.pool.c_str(), serialDigits(taken, 0).c_str(),
                                         serialDigits(claim.highest, 0).c_str()));
    return db_.run("INSERT INTO serial_numbers (pool, number, state, row_id, station, adapter, issued) "
                   "VALUES ($1, $2, 'spoiled', $3, $4, $5, $6)",
                   {pool, SqlValue::of(static_cast<int64_t>(taken)), SqlValue::of(claim.rowId),
                    SqlValue::of(claim.station), SqlValue::of(claim.adapter), SqlValue::of(claim.time)});
  });
}

StoreStatus PostgresqlStore::selectSerials(const std::string& pool, const std::function<bool(const SerialEntry&)>& each) {
  return db_.stream("SELECT pool, number, state, row_id, station, adapter, " + format(kUtcText, "issued") +
                        " FROM serial_numbers WHERE pool = $1 ORDER BY number",
                    {SqlValue::of(pool)}, [&](const PgResult& row) {
                      return each({row.text(0, 0).value_or(""), number(row.text(0, 1)), row.text(0, 2).value_or(""),
                                   row.text(0, 3).value_or(""), row.text(0, 4).value_or(""),
                                   row.text(0, 5).value_or(""), row.text(0, 6).value_or("")});
                    });
}

}  // namespace lw
