#pragma once
// Reads one key of an INI file.
#include <cstddef>
#include <string>

namespace lw {

class IniFilePort {
 public:
  virtual ~IniFilePort() = default;
  // The value of key in section (both matched ignoring case), at most
  // capacity - 1 characters; empty when the file, section or key is missing.
  virtual std::string readString(const std::string& path, const std::string& section, const std::string& key,
                                 std::size_t capacity) const = 0;
};

}  // namespace lw
