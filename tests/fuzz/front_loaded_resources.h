#pragma once
// The embedded resources with the keyed tables' entries for given keys
// moved to the front. A lookup walks its table from the start; in the
// targets that apply a part or put up a box on every input, those walks,
// not the code under test, took most of each input's time. Every key still
// finds the same text (its first entry moves, any later one stays behind
// it), which the constructor checks for every key of every table; a key
// left off the list costs only speed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "resources/embedded_resources.h"
#include "resources/keyed_table.h"

namespace lw::fuzz {

class FrontLoadedResources final : public ResourceSource {
 public:
  explicit FrontLoadedResources(std::initializer_list<uint16_t> keys) {
    for (const EmbeddedResource& r : embeddedResourceList()) {
      if (std::string_view(r.type) != kKeyedTableType) continue;
      const std::span<const uint8_t> table(r.bytes, r.size);
      tables_.push_back({r.id, frontLoaded(table, keys)});
      for (const Entry& e : entries(table)) {
        if (textByKey16(*this, r.id, e.key) != textByKey16(embeddedResources(), r.id, e.key)) {
          std::fprintf(stderr, "front-loaded table %u reads key %u differently\n", r.id, e.key);
          std::abort();
        }
      }
    }
  }

  // Keyed tables from the copies (a Part index without one has none, as in
  // the embedded set), everything else from the embedded resources.
  std::span<const uint8_t> find(std::string_view type, uint32_t id) const override {
    if (type != kKeyedTableType) return embeddedResources().find(type, id);
    for (const Table& t : tables_) {
      if (t.id == id) return t.bytes;
    }
    return {};
  }

 private:
  struct Table {
    uint32_t id;
    std::vector<uint8_t> bytes;
  };
  struct Entry {
    uint16_t key;
    std::span<const uint8_t> bytes;  // the key, its text and the text's zero
  };

  static uint16_t unit(std::span<const uint8_t> b, std::size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
  }

  // The well-formed table's entries, up to its end marker.
  static std::vector<Entry> entries(std::span<const uint8_t> table) {
    std::vector<Entry> list;
    std::size_t pos = 0;
    while (pos + 1 < table.size() && unit(table, pos) != kTableEnd) {
      std::size_t end = pos + 2;
      while (end + 1 < table.size() && unit(table, end) != 0) end += 2;
      end = std::min(end + 2, table.size());
      list.push_back({unit(table, pos), table.subspan(pos, end - pos)});
      pos = end;
    }
    return list;
  }

  static std::vector<uint8_t> frontLoaded(std::span<const uint8_t> table, std::initializer_list<uint16_t> keys) {
    const std::vector<Entry> all = entries(table);
    std::vector<uint8_t> out;
    for (const uint16_t key : keys) {
      for (const Entry& e : all) {
        if (e.key != key) continue;
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
        break;
      }
    }
    for (const Entry& e : all) out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    out.push_back(0xFF);
    out.push_back(0xFF);
    return out;
  }

  std::vector<Table> tables_;
};

}  // namespace lw::fuzz
