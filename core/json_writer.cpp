#include "core/json_writer.h"

#include "core/text.h"

namespace lw {

std::string jsonQuote(const std::string& text) {
  std::string out = "\"";
  // Paths may hold bytes that are not UTF-8; JSON must be.
  for (const char ch : utf16ToUtf8(utf8ToUtf16(text))) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          out += format("\\u%04x", c);
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string jsonArray(const std::vector<std::string>& rawItems) {
  std::string out = "[";
  for (std::size_t i = 0; i < rawItems.size(); ++i) out += (i ? "," : "") + rawItems[i];
  return out + "]";
}

void JsonObject::key(const std::string& k) {
  if (!body_.empty()) body_ += ",";
  body_ += jsonQuote(k) + ":";
}

JsonObject& JsonObject::add(const std::string& k, const std::string& value) {
  key(k);
  body_ += jsonQuote(value);
  return *this;
}

JsonObject& JsonObject::add(const std::string& k, int64_t value) {
  key(k);
  body_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::add(const std::string& k, bool value) {
  key(k);
  body_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::addRaw(const std::string& k, const std::string& json) {
  key(k);
  body_ += json;
  return *this;
}

JsonObject& JsonObject::addStrings(const std::string& k, const std::vector<std::string>& values) {
  std::vector<std::string> items;
  for (const auto& v : values) items.push_back(jsonQuote(v));
  return addRaw(k, jsonArray(items));
}

}  // namespace lw
