#include "production/sql_rows.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "production/record_query.h"

namespace lw {

namespace {

// Database columns named as the log's columns, except result (a text
// 'pass'/'fail' there too) and serial_value, the serial number's value for
// finding it whatever its digits.
constexpr std::array<std::string_view, 20> kColumns = {
    "id",          "time",          "command",       "station",      "operator",
    "run_id",      "adapter",       "adapter_serial", "part",         "size",
    "checksum",    "image_sha256",  "serial_number", "serial_value", "serial_string",
    "serial_pool", "result",        "message",       "failure_phase", "duration_ms"};

}  // namespace

const std::string& rowColumnList() {
  static const std::string list = [] {
    std::string out;
    for (const std::string_view c : kColumns) out += (out.empty() ? "" : ", ") + std::string(c);
    return out;
  }();
  return list;
}

std::size_t rowColumnCount() { return kColumns.size(); }

std::string rowSelectList(const SqlDialect& dialect) {
  std::string out;
  for (const std::string_view c : kColumns)
    out += (out.empty() ? "" : ", ") + (c == "time" ? dialect.timeColumn : std::string(c));
  return out;
}

std::vector<SqlValue> rowValues(const ProductionRecord& r) {
  const std::optional<uint64_t> serial = serialValue(r.serialNumber);
  return {SqlValue::of(r.id),
          SqlValue::of(r.time),
          SqlValue::of(r.command),
          SqlValue::of(r.station),
          SqlValue::of(r.operatorName),
          SqlValue::of(r.runId),
          SqlValue::of(r.adapter),
          SqlValue::of(r.adapterSerial),
          SqlValue::of(r.part),
          SqlValue::of(static_cast<int64_t>(r.size)),
          SqlValue::of(static_cast<int64_t>(r.checksum)),
          SqlValue::of(r.imageSha256),
          SqlValue::of(r.serialNumber),
          serial && *serial <= static_cast<uint64_t>(INT64_MAX) ? SqlValue::of(static_cast<int64_t>(*serial))
                                                               : SqlValue{},
          SqlValue::of(r.serialString),
          SqlValue::of(r.serialPool),
          SqlValue::of(std::string(r.pass ? "pass" : "fail")),
          SqlValue::of(r.message),
          SqlValue::of(r.failurePhase),
          SqlValue::of(static_cast<int64_t>(r.durationMs))};
}

ProductionRecord recordFromColumns(const std::vector<std::optional<std::string>>& texts) {
  auto text = [&](std::size_t i) { return i < texts.size() && texts[i] ? *texts[i] : std::string(); };
  auto number = [&](std::size_t i) -> uint64_t {
    const std::string t = text(i);
    return t.empty() || t[0] == '-' ? 0 : std::stoull(t);
  };
  ProductionRecord r;
  r.id = text(0);
  r.time = text(1);
  r.command = text(2);
  r.station = text(3);
  r.operatorName = text(4);
  r.runId = text(5);
  r.adapter = text(6);
  r.adapterSerial = text(7);
  r.part = text(8);
  r.size = number(9);
  r.checksum = static_cast<uint16_t>(number(10));
  r.imageSha256 = text(11);
  r.serialNumber = text(12);
  r.serialString = text(14);
  r.serialPool = text(15);
  r.pass = text(16) == "pass";
  r.message = text(17);
  r.failurePhase = text(18);
  r.durationMs = number(19);
  return r;
}

SqlWhere sqlWhere(const RecordFilter& f, const SqlDialect& d) {
  SqlWhere w;
  auto add = [&](const std::string& condition, SqlValue value) {
    w.values.push_back(std::move(value));
    w.clause += (w.clause.empty() ? " WHERE " : " AND ") + condition + d.mark + std::to_string(w.values.size());
  };
  if (f.serial) add("serial_value = ", SqlValue::of(static_cast<int64_t>(*f.serial)));
  if (f.serialString) add("serial_string = ", SqlValue::of(*f.serialString));
  if (!f.imageSha256.empty()) add("image_sha256 LIKE ", SqlValue::of(f.imageSha256 + "%"));
  if (!f.since.empty()) add("time >= ", SqlValue::of(f.since));
  if (!f.command.empty()) add("command = ", SqlValue::of(f.command));
  return w;
}

std::string summarySql(SummaryKey by, const SqlWhere& where, const SqlDialect& d) {
  std::string key;
  switch (by) {
    case SummaryKey::kStation: key = "station"; break;
    case SummaryKey::kPart: key = "part"; break;
    case SummaryKey::kImage: key = "image_sha256"; break;
    case SummaryKey::kAdapter:
      key = "CASE WHEN adapter_serial = '' THEN station || ' ' || adapter ELSE adapter_serial END";
      break;
    case SummaryKey::kDay: key = d.dayOfTime; break;
    case SummaryKey::kAll: key = "'all'"; break;
  }
  return "SELECT key, passed, failed FROM (SELECT " + key + " AS key, " + d.passedCount + " AS passed, " +
         d.failedCount + " AS failed FROM production_rows" + where.clause + " GROUP BY 1) AS tally ORDER BY key" +
         d.keyCollation;
}

}  // namespace lw
