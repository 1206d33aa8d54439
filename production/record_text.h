#pragma once
// A production row as text: one CSV line (RFC 4180, CRLF) or one JSON
// object per line, and back. A CSV log's own header line says which
// columns its lines hold, so a log begun before a column existed keeps the
// columns it started with.
#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/json_writer.h"
#include "core/production_record.h"

namespace lw {

struct RecordColumn {
  std::string_view name;
  bool number;  // a JSON number rather than a string
  std::string (*get)(const ProductionRecord&);
  // From its text; false when the text is not one of the column's values.
  bool (*set)(ProductionRecord&, const std::string&);
};

// Every column, in the order of a new CSV log's header: the ten the first
// logs had, then the ones added since.
std::span<const RecordColumn> recordColumns();
const RecordColumn* columnNamed(std::string_view name);

// One field quoted as RFC 4180 asks: only when it holds a comma, a quote or
// a line break, with quotes doubled. A field that starts with '=', '+',
// '-', '@', a tab or a carriage return would be run as a formula by a
// spreadsheet; it gets an apostrophe in front, which makes it text.
std::string csvField(const std::string& text);
// A field as read back: the apostrophe that guarded a formula taken off.
std::string csvFieldValue(std::string field);

// The columns a CSV header line names; a name this tool does not know
// stays as a column that is written empty and read over.
std::vector<const RecordColumn*> columnsOfHeader(const std::vector<std::string>& names);
std::vector<const RecordColumn*> allColumns();

// Header and lines end in CRLF.
std::string csvHeader(const std::vector<const RecordColumn*>& columns);
std::string csvLine(const ProductionRecord& r, const std::vector<const RecordColumn*>& columns);
inline std::string csvHeader() { return csvHeader(allColumns()); }
inline std::string csvLine(const ProductionRecord& r) { return csvLine(r, allColumns()); }

// The next row of CSV text (quoted fields may hold line breaks); false at
// the end. Fields are given as written (see csvFieldValue). *lines, when
// given, counts the line ends read.
bool readCsvRow(std::istream& in, std::vector<std::string>& fields, std::size_t* lines = nullptr);
// A row from its fields under a header's columns; false, with the column's
// name in *bad, when a field is not a value of its column.
bool recordFromCsv(const std::vector<std::string>& fields, const std::vector<const RecordColumn*>& columns,
                   ProductionRecord& r, std::string* bad = nullptr);

// The row with every text made valid UTF-8 (a byte that is not becomes
// U+FFFD): a file name in a message may hold any bytes, and a store that
// refused them (PostgreSQL does) would keep the row waiting for ever.
ProductionRecord withValidUtf8(ProductionRecord r);

// Every column as a key of json (after whatever it holds already).
void addRecordFields(JsonObject& json, const ProductionRecord& r);
// One JSON object and "\n"; nothing inside it breaks the line.
std::string jsonLine(const ProductionRecord& r);
// A JSON object with its line end (or none) as a row; keys this tool does
// not know are passed over, and their string values put in *extra by key
// when asked for ("log" of the pending journal). False when the line is
// not such an object or a value does not fit its column.
bool recordFromJsonLine(std::string_view line, ProductionRecord& r, std::string_view extraKey = {},
                        std::string* extra = nullptr);
// JSON text as one line: U+2028 and U+2029, legal inside JSON strings,
// split lines for some line readers and are escaped.
std::string withLineSeparatorsEscaped(std::string text);

}  // namespace lw
