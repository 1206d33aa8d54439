#pragma once
// The per-user settings store: integer, text and binary values by section
// and key. Absent values read as std::nullopt.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lw {

class SettingsPort {
 public:
  virtual ~SettingsPort() = default;
  virtual std::optional<int32_t> readInt(const std::string& section, const std::string& key) const = 0;
  virtual void writeInt(const std::string& section, const std::string& key, int32_t value) = 0;
  virtual std::optional<std::string> readString(const std::string& section, const std::string& key) const = 0;
  virtual void writeString(const std::string& section, const std::string& key, const std::string& value) = 0;
  virtual std::optional<std::vector<uint8_t>> readBinary(const std::string& section, const std::string& key) const = 0;
  virtual void writeBinary(const std::string& section, const std::string& key, const std::vector<uint8_t>& value) = 0;
};

}  // namespace lw
