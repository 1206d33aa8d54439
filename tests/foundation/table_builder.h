#pragma once
// Builds keyed tables byte by byte for tests, and a resource source that
// serves them.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/text.h"
#include "resources/resource_source.h"

namespace lw::test {

class TableBuilder {
 public:
  TableBuilder& entry(uint16_t key, const std::string& text) {
    unit(key);
    for (char16_t c : utf8ToUtf16(text)) unit(c);
    unit(0);
    return *this;
  }
  TableBuilder& end() {
    unit(0xFFFF);
    return *this;
  }
  TableBuilder& unit(uint16_t u) {
    bytes.push_back(static_cast<uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<uint8_t>(u >> 8));
    return *this;
  }
  std::vector<uint8_t> bytes;
};

class MapResources final : public ResourceSource {
 public:
  void add(const std::string& type, uint32_t id, std::vector<uint8_t> bytes) { data_[{type, id}] = std::move(bytes); }
  std::span<const uint8_t> find(std::string_view type, uint32_t id) const override {
    const auto it = data_.find({std::string(type), id});
    if (it == data_.end()) return {};
    return {it->second.data(), it->second.size()};
  }

 private:
  std::map<std::pair<std::string, uint32_t>, std::vector<uint8_t>> data_;
};

}  // namespace lw::test
