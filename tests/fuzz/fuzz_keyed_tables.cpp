// Fuzzes keyed tables and part descriptors: the input is the bytes of the
// language tables and of part 43's descriptor, so the text lookups and the
// part database read the same damaged table in every role. (Every other
// table is missing, or the part database's walk over all 4094 parts would
// read the input thousands of times for each execution.)
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
  std::span<const uint8_t> find(std::string_view type, uint32_t id) const override {
    const bool fuzzed = id == kLanguage || id == kLanguage + 1 || id == lw::kPartTableBase + kPart;
    return type == lw::kKeyedTableType && fuzzed ? bytes_ : std::span<const uint8_t>();
  }
  static constexpr uint32_t kLanguage = 256;
  static constexpr uint16_t kPart = 43;

 private:
  std::span<const uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;  // an empty span stands for a missing table
  const FuzzedTables tables(std::span<const uint8_t>(data, size));
  for (const uint16_t key : {uint16_t{0}, uint16_t{1}, uint16_t{21}, uint16_t{256}, uint16_t{0xFFFE}}) {
    if (const auto text = lw::textByKey(tables, FuzzedTables::kLanguage, key)) lw::parseNumberAuto(*text);
    lw::numberByKey(tables, lw::kPartTableBase + FuzzedTables::kPart, key);
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
