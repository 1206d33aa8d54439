#include "production/flat_json.h"

#include "core/text.h"

#include <cstdint>

namespace lw {

namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : s_(text) {}

  void skipSpace() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\r' || s_[at_] == '\n')) ++at_;
  }
  bool take(char c) {
    skipSpace();
    if (at_ < s_.size() && s_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool atEnd() {
    skipSpace();
    return at_ == s_.size();
  }
  char peek() {
    skipSpace();
    return at_ < s_.size() ? s_[at_] : '\0';
  }

  bool string(std::string& out) {
    if (!take('"')) return false;
    out.clear();
    while (at_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[at_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (at_ >= s_.size()) return false;
      switch (s_[at_++]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u':
          if (!codePoint(out)) return false;
          break;
        default: return false;
      }
    }
    return false;
  }

  // -?digits[.digits][e[+-]digits], as written.
  bool number(std::string& out) {
    skipSpace();
    const std::size_t start = at_;
    if (at_ < s_.size() && s_[at_] == '-') ++at_;
    if (!digits()) return false;
    if (at_ < s_.size() && s_[at_] == '.') {
      ++at_;
      if (!digits()) return false;
    }
    if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
      ++at_;
      if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
      if (!digits()) return false;
    }
    out.assign(s_.substr(start, at_ - start));
    return true;
  }

  bool word(std::string_view w) {
    skipSpace();
    if (s_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }

 private:
  bool digits() {
    const std::size_t start = at_;
    while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
    return at_ > start;
  }

  bool hex4(uint32_t& v) {
    if (s_.size() - at_ < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = s_[at_++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= static_cast<uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') v |= static_cast<uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') v |= static_cast<uint32_t>(c - 'A' + 10);
      else return false;
    }
    return true;
  }

  // After "\u": one code point, a surrogate pair taken together, as UTF-8.
  bool codePoint(std::string& out) {
    uint32_t cp = 0;
    if (!hex4(cp)) return false;
    if (cp >= 0xDC00 && cp <= 0xDFFF) return false;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      uint32_t low = 0;
      if (s_.substr(at_, 2) != "\\u") return false;
      at_ += 2;
      if (!hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
    }
    appendUtf8(out, static_cast<char32_t>(cp));
    return true;
  }

  std::string_view s_;
  std::size_t at_ = 0;
};

}  // namespace

bool parseFlatJsonObject(std::string_view text, std::vector<FlatJsonValue>& members) {
  members.clear();
  Reader in(text);
  if (!in.take('{')) return false;
  if (in.take('}')) return in.atEnd();
  do {
    FlatJsonValue m;
    if (!in.string(m.key) || !in.take(':')) return false;
    const char c = in.peek();
    bool read = false;
    if (c == '"') {
      m.type = FlatJsonValue::Type::kString;
      read = in.string(m.text);
    } else if (c == 't' || c == 'f') {
      m.type = FlatJsonValue::Type::kBool;
      m.text = c == 't' ? "true" : "false";
      read = in.word(m.text);
    } else if (c == 'n') {
      m.type = FlatJsonValue::Type::kNull;
      read = in.word("null");
    } else {
      m.type = FlatJsonValue::Type::kNumber;
      read = in.number(m.text);
    }
    if (!read) return false;
    members.push_back(std::move(m));
  } while (in.take(','));
  return in.take('}') && in.atEnd();
}

}  // namespace lw
