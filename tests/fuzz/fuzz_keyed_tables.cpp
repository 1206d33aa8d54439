// Fuzzes keyed tables and part descriptors: the input is the bytes of every
// table asked for, so the text lookups and the part database read the
// same damaged table as language table, series table and part descriptor.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/part_record.h"
#include "resources/keyed_table.h"
#include "resources/part_database.h"

namespace {

class FuzzedTables final : public lw::ResourceSource {
 public:
  explicit FuzzedTables(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  std::span<const uint8_t> find(std::string_view, uint32_t) const override { return bytes_; }

 private:
  std::span<const uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;  // an empty span stands for a missing table
  const FuzzedTables tables(std::span<const uint8_t>(data, size));
  for (const uint16_t key : {uint16_t{0}, uint16_t{1}, uint16_t{21}, uint16_t{256}, uint16_t{0xFFFE}}) {
    if (const auto text = lw::textByKey(tables, 1, key)) lw::parseNumberAuto(*text);
    lw::numberByKey(tables, 4096, key);
  }
  lw::partsOfSeries(tables, 6);
  lw::partIsOffered(tables, 43);
  for (int i = 0; i < 4; ++i) lw::optionBitRecord(tables, 43, i, 1);
  lw::PartRecord part;
  lw::applyPart(tables, 43, part);
  lw::flashSize(tables, 43);
  lw::fileSizeLimit(tables, 43);
  lw::parseNumberAuto(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
