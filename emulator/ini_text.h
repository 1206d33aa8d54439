#pragma once
// The emulator's state and fault files are plain "key = value" text so that
// a person can read and edit them: one entry a line, '#' or ';' starts a
// comment (at the start of a line or after white space), keys are compared
// without regard to case.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw::emu {

struct IniEntry {
  std::string key;    // lower case
  std::string value;  // trimmed
  int line = 0;
};

class IniText {
 public:
  // Lines without '=' are reported in problems ("file:line: ...").
  static IniText parse(std::string_view text, std::string_view fileName, std::vector<std::string>& problems);

  const std::vector<IniEntry>& entries() const { return entries_; }
  const IniEntry* find(std::string_view key) const;  // the last entry with the key

 private:
  std::vector<IniEntry> entries_;
};

// Value readers: nothing when the text is not a value of the kind.
std::optional<bool> parseBool(std::string_view text);        // yes/no, true/false, on/off, 1/0
std::optional<uint32_t> parseUnsigned(std::string_view text);  // decimal or 0x hexadecimal

}  // namespace lw::emu
