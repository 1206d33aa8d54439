#pragma once
// A small JSON writer: the object --json prints, the production log's JSON lines.
#include <cstdint>
#include <string>
#include <vector>

namespace lw {

class JsonObject {
 public:
  JsonObject& add(const std::string& key, const std::string& value);
  JsonObject& add(const std::string& key, const char* value) { return add(key, std::string(value)); }
  JsonObject& add(const std::string& key, int64_t value);
  JsonObject& add(const std::string& key, bool value);
  JsonObject& addRaw(const std::string& key, const std::string& json);
  JsonObject& addStrings(const std::string& key, const std::vector<std::string>& values);
  std::string str() const { return "{" + body_ + "}"; }

 private:
  void key(const std::string& k);
  std::string body_;
};

std::string jsonQuote(const std::string& text);
std::string jsonArray(const std::vector<std::string>& rawItems);

}  // namespace lw
