#pragma once
// Settings kept in memory, for tests.
#include <map>

#include "core/ports/settings_port.h"

namespace lw {

class MemorySettings final : public SettingsPort {
 public:
  std::optional<int32_t> readInt(const std::string& section, const std::string& key) const override;
  void writeInt(const std::string& section, const std::string& key, int32_t value) override;
  std::optional<std::string> readString(const std::string& section, const std::string& key) const override;
  void writeString(const std::string& section, const std::string& key, const std::string& value) override;
  std::optional<std::vector<uint8_t>> readBinary(const std::string& section, const std::string& key) const override;
  void writeBinary(const std::string& section, const std::string& key, const std::vector<uint8_t>& value) override;

 private:
  using Key = std::pair<std::string, std::string>;
  std::map<Key, int32_t> ints_;
  std::map<Key, std::string> strings_;
  std::map<Key, std::vector<uint8_t>> binaries_;
};

}  // namespace lw
