#include "cli/production_log.h"

#include <string_view>
#include <utility>

#include "core/json_writer.h"
#include "core/text.h"

namespace lw::cli {

namespace {

std::string checksumText(uint16_t checksum) { return format("0x%04X", static_cast<unsigned>(checksum)); }

// U+2028 and U+2029 are legal inside JSON strings but split lines for some
// line readers; escaped, every record stays on its one line.
std::string escapeLineSeparators(std::string text) {
  const std::pair<std::string_view, std::string_view> escapes[] = {{"\xE2\x80\xA8", "\\u2028"},
                                                                   {"\xE2\x80\xA9", "\\u2029"}};
  for (const auto& [separator, escaped] : escapes) {
    for (std::size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, at))
      text.replace(at, separator.size(), escaped);
  }
  return text;
}

}  // namespace

std::string utcTimestamp(std::time_t when) {
  std::tm parts{};
  gmtime_r(&when, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

bool isCsvLogPath(const std::string& path) {
  return path.size() >= 4 && equalsIgnoreCase(std::string_view(path).substr(path.size() - 4), ".csv");
}

std::string csvField(const std::string& given) {
  const bool formula = !given.empty() && std::string_view("=+-@\t\r").find(given.front()) != std::string_view::npos;
  const std::string text = formula ? "'" + given : given;
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (const char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string csvHeader() {
  return "time,command,adapter,part,size,checksum,serial_number,serial_string,result,message\r\n";
}

std::string csvLine(const ProductionRecord& r) {
  std::string out;
  for (const std::string& field : {r.time, r.command, r.adapter, r.part, std::to_string(r.size),
                                   checksumText(r.checksum), r.serialNumber, r.serialString,
                                   std::string(r.pass ? "pass" : "fail"), r.message}) {
    out += (out.empty() ? "" : ",") + csvField(field);
  }
  return out + "\r\n";
}

std::string jsonLine(const ProductionRecord& r) {
  JsonObject json;
  json.add("time", r.time)
      .add("command", r.command)
      .add("adapter", r.adapter)
      .add("part", r.part)
      .add("size", static_cast<int64_t>(r.size))
      .add("checksum", checksumText(r.checksum))
      .add("serial_number", r.serialNumber)
      .add("serial_string", r.serialString)
      .add("result", r.pass ? "pass" : "fail")
      .add("message", r.message);
  return escapeLineSeparators(json.str()) + "\n";
}

LogLine logLineFor(const std::string& path, const ProductionRecord& r) {
  if (isCsvLogPath(path)) return {csvHeader(), csvLine(r)};
  return {{}, jsonLine(r)};
}

}  // namespace lw::cli
