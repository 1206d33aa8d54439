#include "production/record_text.h"

#include <array>
#include <charconv>
#include <utility>

#include "core/text.h"
#include "production/flat_json.h"

namespace lw {

namespace {

bool decimal(const std::string& text, uint64_t& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// "0x518D": as the window's checksum field, four hexadecimal digits.
bool checksumFrom(const std::string& text, uint16_t& value) {
  if (text.size() != 6 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return false;
  unsigned v = 0;
  const auto [end, error] = std::from_chars(text.data() + 2, text.data() + 6, v, 16);
  if (error != std::errc() || end != text.data() + 6) return false;
  value = static_cast<uint16_t>(v);
  return true;
}

template <std::string ProductionRecord::*field>
constexpr RecordColumn textColumn(std::string_view name) {
  return {name, false, [](const ProductionRecord& r) { return r.*field; },
          [](ProductionRecord& r, const std::string& t) {
            r.*field = t;
            return true;
          }};
}

template <uint64_t ProductionRecord::*field>
constexpr RecordColumn numberColumn(std::string_view name) {
  return {name, true, [](const ProductionRecord& r) { return std::to_string(r.*field); },
          [](ProductionRecord& r, const std::string& t) { return decimal(t, r.*field); }};
}

const std::array<RecordColumn, 19> kColumns = {
    textColumn<&ProductionRecord::time>("time"),
    textColumn<&ProductionRecord::command>("command"),
    textColumn<&ProductionRecord::adapter>("adapter"),
    textColumn<&ProductionRecord::part>("part"),
    numberColumn<&ProductionRecord::size>("size"),
    RecordColumn{"checksum", false,
                 [](const ProductionRecord& r) { return format("0x%04X", static_cast<unsigned>(r.checksum)); },
                 [](ProductionRecord& r, const std::string& t) { return checksumFrom(t, r.checksum); }},
    textColumn<&ProductionRecord::serialNumber>("serial_number"),
    textColumn<&ProductionRecord::serialString>("serial_string"),
    RecordColumn{"result", false, [](const ProductionRecord& r) { return std::string(r.pass ? "pass" : "fail"); },
                 [](ProductionRecord& r, const std::string& t) {
                   r.pass = t == "pass";
                   return t == "pass" || t == "fail";
                 }},
    textColumn<&ProductionRecord::message>("message"),
    // Added with the database stores.
    textColumn<&ProductionRecord::id>("id"),
    textColumn<&ProductionRecord::station>("station"),
    textColumn<&ProductionRecord::operatorName>("operator"),
    textColumn<&ProductionRecord::runId>("run_id"),
    textColumn<&ProductionRecord::adapterSerial>("adapter_serial"),
    textColumn<&ProductionRecord::imageSha256>("image_sha256"),
    textColumn<&ProductionRecord::serialPool>("serial_pool"),
    textColumn<&ProductionRecord::failurePhase>("failure_phase"),
    numberColumn<&ProductionRecord::durationMs>("duration_ms"),
};

}  // namespace

std::span<const RecordColumn> recordColumns() { return kColumns; }

const RecordColumn* columnNamed(std::string_view name) {
  for (const RecordColumn& c : kColumns)
    if (c.name == name) return &c;
  return nullptr;
}

std::vector<const RecordColumn*> allColumns() {
  std::vector<const RecordColumn*> all;
  for (const RecordColumn& c : kColumns) all.push_back(&c);
  return all;
}

std::vector<const RecordColumn*> columnsOfHeader(const std::vector<std::string>& names) {
  std::vector<const RecordColumn*> columns;
  for (const std::string& n : names) columns.push_back(columnNamed(n));
  return columns;
}

std::string csvField(const std::string& given) {
  const bool formula = !given.empty() && std::string_view("=+-@\t\r").find(given.front()) != std::string_view::npos;
  const std::string text = formula ? "'" + given : given;
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (const char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string csvFieldValue(std::string field) {
  if (field.size() >= 2 && field[0] == '\'' && std::string_view("=+-@\t\r").find(field[1]) != std::string_view::npos)
    field.erase(0, 1);
  return field;
}

std::string csvHeader(const std::vector<const RecordColumn*>& columns) {
  std::string out;
  for (const RecordColumn* c : columns) out += (out.empty() ? "" : ",") + std::string(c ? c->name : "");
  return out + "\r\n";
}

std::string csvLine(const ProductionRecord& r, const std::vector<const RecordColumn*>& columns) {
  std::string out;
  for (std::size_t i = 0; i < columns.size(); ++i)
    out += (i ? "," : "") + (columns[i] ? csvField(columns[i]->get(r)) : std::string());
  return out + "\r\n";
}

bool readCsvRow(std::istream& in, std::vector<std::string>& fields, std::size_t* lines) {
  fields.clear();
  if (in.peek() == std::char_traits<char>::eof()) return false;
  std::string field;
  bool quoted = false;
  for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
    if (c == '\n' && lines) ++*lines;
    if (quoted) {
      if (c != '"') {
        field += static_cast<char>(c);
      } else if (in.peek() == '"') {
        field += '"';
        in.get();
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.push_back(std::move(field));
      field.clear();
    } else if (c == '\n') {
      break;
    } else if (c == '\r' && in.peek() == '\n') {
      in.get();
      if (lines) ++*lines;
      break;
    } else {
      field += static_cast<char>(c);
    }
  }
  fields.push_back(std::move(field));
  return true;
}

bool recordFromCsv(const std::vector<std::string>& fields, const std::vector<const RecordColumn*>& columns,
                   ProductionRecord& r, std::string* bad) {
  r = {};
  for (std::size_t i = 0; i < fields.size() && i < columns.size(); ++i) {
    if (!columns[i] || columns[i]->set(r, csvFieldValue(fields[i]))) continue;
    if (bad) *bad = std::string(columns[i]->name);
    return false;
  }
  return true;
}

ProductionRecord withValidUtf8(ProductionRecord r) {
  for (const RecordColumn& c : kColumns)
    if (!c.number) c.set(r, utf16ToUtf8(utf8ToUtf16(c.get(r))));
  return r;
}

void addRecordFields(JsonObject& json, const ProductionRecord& r) {
  for (const RecordColumn& c : kColumns) {
    if (c.number) {
      json.addRaw(std::string(c.name), c.get(r));
    } else {
      json.add(std::string(c.name), c.get(r));
    }
  }
}

std::string withLineSeparatorsEscaped(std::string text) {
  const std::pair<std::string_view, std::string_view> escapes[] = {{"\xE2\x80\xA8", "\\u2028"},
                                                                   {"\xE2\x80\xA9", "\\u2029"}};
  for (const auto& [separator, escaped] : escapes) {
    for (std::size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, at))
      text.replace(at, separator.size(), escaped);
  }
  return text;
}

std::string jsonLine(const ProductionRecord& r) {
  JsonObject json;
  addRecordFields(json, r);
  return withLineSeparatorsEscaped(json.str()) + "\n";
}

bool recordFromJsonLine(std::string_view line, ProductionRecord& r, std::string_view extraKey, std::string* extra) {
  std::vector<FlatJsonValue> members;
  if (!parseFlatJsonObject(line, members)) return false;
  r = {};
  for (const FlatJsonValue& m : members) {
    if (!extraKey.empty() && m.key == extraKey) {
      if (m.type != FlatJsonValue::Type::kString) return false;
      if (extra) *extra = m.text;
      continue;
    }
    const RecordColumn* c = columnNamed(m.key);
    if (!c) continue;
    const bool fitting = c->number ? m.type == FlatJsonValue::Type::kNumber : m.type == FlatJsonValue::Type::kString;
    if (!fitting || !c->set(r, m.text)) return false;
  }
  return true;
}

}  // namespace lw
