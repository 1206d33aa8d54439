#include "platform/memory/memory_settings.h"

namespace lw {

namespace {
template <typename Map>
auto lookup(const Map& m, const std::string& section, const std::string& key)
    -> std::optional<typename Map::mapped_type> {
  const auto it = m.find({section, key});
  if (it == m.end()) return std::nullopt;
  return it->second;
}
}  // namespace

std::optional<int32_t> MemorySettings::readInt(const std::string& section, const std::string& key) const {
  return lookup(ints_, section, key);
}
void MemorySettings::writeInt(const std::string& section, const std::string& key, int32_t value) {
  ints_[{section, key}] = value;
}
std::optional<std::string> MemorySettings::readString(const std::string& section, const std::string& key) const {
  return lookup(strings_, section, key);
}
void MemorySettings::writeString(const std::string& section, const std::string& key, const std::string& value) {
  strings_[{section, key}] = value;
}
std::optional<std::vector<uint8_t>> MemorySettings::readBinary(const std::string& section,
                                                               const std::string& key) const {
  return lookup(binaries_, section, key);
}
void MemorySettings::writeBinary(const std::string& section, const std::string& key,
                                 const std::vector<uint8_t>& value) {
  binaries_[{section, key}] = value;
}

}  // namespace lw
