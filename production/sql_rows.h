#pragma once
// What the two database stores share of their SQL: the columns of a row in
// one order, a row as the values bound to them and back from the texts a
// query returns, and a filter as a WHERE clause with bound parameters
// (never a value spliced into the text).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/production_query.h"
#include "core/production_record.h"

namespace lw {

// One step of a database's schema: applied once, in order, never changed
// once released (a later change is a later step).
struct SqlMigration {
  int version;
  const char* sql;
};

// The value bound to one parameter: text, a 64-bit integer or NULL.
struct SqlValue {
  enum class Type { kNull, kText, kInteger };
  Type type = Type::kNull;
  std::string text;
  int64_t integer = 0;
  static SqlValue of(std::string t) { return {Type::kText, std::move(t), 0}; }
  static SqlValue of(int64_t i) { return {Type::kInteger, {}, i}; }
};

// "id, time, command, ..." in the order rowValues and recordFromColumns use.
const std::string& rowColumnList();
std::size_t rowColumnCount();
std::vector<SqlValue> rowValues(const ProductionRecord& r);
// A row from the texts of rowColumnList's columns (NULL: no value).
ProductionRecord recordFromColumns(const std::vector<std::optional<std::string>>& texts);

// How an engine writes what differs: its parameter mark ("?" or "$") and
// the expressions a filter and a summary need.
struct SqlDialect {
  char mark;                  // parameter n is mark + n
  std::string timeColumn;     // the row's time as its UTC text
  std::string dayOfTime;      // the UTC day of the time column
  std::string passedCount;    // count of passed rows in a group
  std::string failedCount;
  std::string keyCollation;   // after ORDER BY key: byte order
};

struct SqlWhere {
  std::string clause;  // " WHERE ..." or ""
  std::vector<SqlValue> values;
};
SqlWhere sqlWhere(const RecordFilter& filter, const SqlDialect& dialect);

// The columns to SELECT for recordFromColumns, the time as its UTC text.
std::string rowSelectList(const SqlDialect& dialect);

// SELECT key, passed, failed FROM production_rows ... GROUP BY ... ORDER BY key.
std::string summarySql(SummaryKey by, const SqlWhere& where, const SqlDialect& dialect);

}  // namespace lw
