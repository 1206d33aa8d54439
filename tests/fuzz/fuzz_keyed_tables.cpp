// Fuzzes keyed tables and part descriptors: the input is the bytes of the
// language tables and of part 43's descriptor, so the text lookups and the
// part database read the same damaged table in every role. (Every other
// table is missing, or the part database's walk over all 4094 parts would
// read the input thousands of times for each execution.)
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "core/part_record.h"
#include "resources/keyed_table.h"
#include "resources/part_database.h"
#include "resources/series_table.h"
#include "tests/fuzz/fuzz_sample.h"

namespace {

constexpr uint32_t kSeries = 6;  // the one listed series

class FuzzedTables final : public lw::ResourceSource {
 public:
  explicit FuzzedTables(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  std::span<const uint8_t> find(std::string_view type, uint32_t id) const override {
    const bool fuzzed = id == kLanguage || id == kLanguage + 1 || id == lw::kPartTableBase + kPart;
    return fuzzed && type == lw::kKeyedTableType ? bytes_ : std::span<const uint8_t>();
  }
  static constexpr uint32_t kLanguage = 256;
  static constexpr uint16_t kPart = 43;

 private:
  std::span<const uint8_t> bytes_;
};

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "keyed table invariant broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;  // an empty span stands for a missing table
  const FuzzedTables tables(std::span<const uint8_t>(data, size));
  // Every table id serves the same bytes, so a number read from the part
  // descriptor would repeat these lookups (numberByKey is textByKey then
  // parseNumberAuto); the part's own keys are read by applyPart below.
  for (const uint16_t key : {uint16_t{0}, uint16_t{1}, uint16_t{21}, uint16_t{256}, uint16_t{0xFFFE}}) {
    if (const auto text = lw::textByKey(tables, FuzzedTables::kLanguage, key)) lw::parseNumberAuto(*text);
  }
  // The part list walks every Part index, thousands of lookups of which
  // only part 43's reads the input; every input reads what the walk takes
  // from it (the series and the name), and on a sample the walk runs and
  // must agree with whether part 43 is offered.
  constexpr uint32_t kFuzzedPartTable = lw::kPartTableBase + FuzzedTables::kPart;
  if (lw::numberByKey(tables, kFuzzedPartTable, lw::partkey::kSeries) == kSeries) {
    if (const auto name = lw::textByKey(tables, kFuzzedPartTable, lw::partkey::kName)) lw::firstWord(*name);
  }
  const bool offered = lw::partIsOffered(tables, FuzzedTables::kPart);
  if (lw::fuzz::sampled(data, size, 64)) {
    bool listed = false;
    for (const lw::SeriesEntry& series : lw::seriesEntries()) {
      for (const lw::PartEntry& p : lw::partsOfSeries(tables, series.seriesNumber))
        listed = listed || p.partIndex == FuzzedTables::kPart;
    }
    require(offered == listed, "a part is offered exactly when its series' list holds it");
  }
  for (int i = 0; i < 4; ++i) lw::optionBitRecord(tables, 43, i, 1);
  lw::PartRecord part;
  lw::applyPart(tables, 43, part);  // flashSize's lookup among them
  lw::fileSizeLimit(tables, 43);
  lw::parseNumberAuto(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
