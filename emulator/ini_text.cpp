#include "emulator/ini_text.h"

#include <cctype>
#include <charconv>

#include "core/text.h"

namespace lw::emu {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Drops a comment: '#' or ';' at the start or after white space.
std::string_view withoutComment(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if ((line[i] == '#' || line[i] == ';') && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1]))))
      return line.substr(0, i);
  }
  return line;
}

}  // namespace

IniText IniText::parse(std::string_view text, std::string_view fileName, std::vector<std::string>& problems) {
  IniText ini;
  int lineNo = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lineNo;
    line = trim(withoutComment(line));
    if (line.empty()) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || trim(line.substr(0, eq)).empty()) {
      problems.push_back(format("%.*s:%d: expected \"key = value\", found \"%.*s\"", static_cast<int>(fileName.size()),
                                fileName.data(), lineNo, static_cast<int>(line.size()), line.data()));
      continue;
    }
    ini.entries_.push_back({toLowerAscii(trim(line.substr(0, eq))), std::string(trim(line.substr(eq + 1))), lineNo});
  }
  return ini;
}

const IniEntry* IniText::find(std::string_view key) const {
  const IniEntry* found = nullptr;
  for (const IniEntry& e : entries_)
    if (e.key == key) found = &e;
  return found;
}

std::optional<bool> parseBool(std::string_view text) {
  const std::string t = toLowerAscii(trim(text));
  if (t == "yes" || t == "true" || t == "on" || t == "1") return true;
  if (t == "no" || t == "false" || t == "off" || t == "0") return false;
  return std::nullopt;
}

std::optional<uint32_t> parseUnsigned(std::string_view text) {
  text = trim(text);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return std::nullopt;
  uint32_t value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc{} || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace lw::emu
