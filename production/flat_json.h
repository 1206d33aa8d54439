#pragma once
// Reading one JSON object whose values are plain: strings, numbers, true,
// false and null (a production row, a line of the pending journal). Nested
// objects and arrays are refused rather than passed over.
#include <string>
#include <string_view>
#include <vector>

namespace lw {

struct FlatJsonValue {
  enum class Type { kString, kNumber, kBool, kNull };
  std::string key;
  Type type = Type::kNull;
  std::string text;  // a string unescaped (UTF-8), a number as written, "true"/"false", "" for null
};

// The members of the object text holds (white space around it allowed), in
// order; false when text is anything else.
bool parseFlatJsonObject(std::string_view text, std::vector<FlatJsonValue>& members);

}  // namespace lw
