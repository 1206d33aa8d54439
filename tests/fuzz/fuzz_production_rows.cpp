// Fuzzes the reading of production log rows: a log's CSV text (header and
// rows, quoted line breaks and all) and a JSON line as the log and the
// pending journal hold it. A row read is written and read again: it must
// come back the same (its text made valid UTF-8), and once more after that.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "production/flat_json.h"
#include "production/record_text.h"

namespace {

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "production row invariant broken: %s\n", what);
  std::abort();
}

// Written under the columns given and read back.
lw::ProductionRecord throughCsv(const lw::ProductionRecord& r, const std::vector<const lw::RecordColumn*>& columns) {
  std::istringstream in(lw::csvLine(r, columns));
  std::vector<std::string> fields;
  require(lw::readCsvRow(in, fields), "a written CSV line is a row");
  require(fields.size() == columns.size(), "a written CSV line has a field for every column");
  lw::ProductionRecord back;
  require(lw::recordFromCsv(fields, columns, back), "a written CSV line reads as a row");
  return back;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  lw::ProductionRecord r;
  std::string store;
  if (lw::recordFromJsonLine(text, r, "log", &store)) {
    // Text that is not UTF-8 is written with U+FFFD in its place, as
    // withValidUtf8 makes every row the tool logs.
    const std::string line = lw::jsonLine(r);
    require(line.find_first_of("\r\n") == line.size() - 1, "a JSON line is one line");
    lw::ProductionRecord back;
    require(lw::recordFromJsonLine(line, back) && back == lw::withValidUtf8(r),
            "a JSON line reads back as the row it was made of");
  }
  std::vector<lw::FlatJsonValue> members;
  if (lw::parseFlatJsonObject(text, members))
    for (const lw::FlatJsonValue& m : members)
      require(m.type != lw::FlatJsonValue::Type::kNull || m.text.empty(), "null has no text");

  std::istringstream in(text);
  std::vector<std::string> fields;
  if (!lw::readCsvRow(in, fields)) return 0;
  const std::vector<const lw::RecordColumn*> columns = lw::columnsOfHeader(fields);
  for (int rows = 0; rows < 64 && lw::readCsvRow(in, fields); ++rows) {
    if (fields.size() != columns.size() || !lw::recordFromCsv(fields, columns, r)) continue;
    // A text that already starts like a guarded formula loses its apostrophe
    // once; from then on it stays.
    const lw::ProductionRecord once = throughCsv(r, columns);
    require(throughCsv(once, columns) == once, "a CSV row read back reads back the same");
  }
  return 0;
}
