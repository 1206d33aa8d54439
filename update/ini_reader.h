#pragma once
// A small INI reader: "[section]" headers and "key=value" lines, section and
// key names matched ignoring ASCII case, lines starting with ';' or '#'
// ignored, LF or CR LF line ends, an optional UTF-8 byte-order mark. Names
// and values are trimmed of blanks; a value wrapped in one pair of matching
// quotes loses them. Of keys given twice, the first one counts.
#include <optional>
#include <string>
#include <string_view>

#include "core/ports/ini_file_port.h"

namespace lw {

std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view key);

// IniFilePort over files on disk, read whole with the standard library.
class IniFileReader final : public IniFilePort {
 public:
  std::string readString(const std::string& path, const std::string& section, const std::string& key,
                         std::size_t capacity) const override;
};

// The longest head of text of at most maxBytes bytes that does not split a
// UTF-8 sequence.
std::string truncateUtf8(std::string text, std::size_t maxBytes);

}  // namespace lw
