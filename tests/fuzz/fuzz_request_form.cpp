// Fuzzes the request-form builder with project files whose checks are made
// right first (see kpj_repair.h); the last byte picks the part, and with it
// which of the three option layouts is filled in.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "report/request_form.h"
#include "resources/embedded_resources.h"
#include "resources/part_database.h"
#include "tests/fuzz/kpj_repair.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::vector<uint8_t> file(data, data + size);
  const uint8_t pick = file.back();
  if (pick & 0x80) lw::fuzz::repairProjectChecks(file);

  static const lw::FormSources base = [] {
    lw::FormSources s;
    s.addressing = {"Acme Corp.", "Lab 2", "PN-0042"};
    for (const lw::PartEntry& p : lw::partsOfSeries(lw::embeddedResources(), 6))
      s.partList.push_back({p.name, p.partIndex});
    return s;
  }();
  constexpr uint32_t kParts[] = {36, 42, 43, 58, 7};
  lw::FormSources sources = base;
  sources.selectedPartIndex = kParts[pick % std::size(kParts)];
  sources.firstOptionBoxEnabled = pick & 0x40;
  lw::buildRequestForm(file, "C:\\jobs/fuzz.kpj", sources, lw::embeddedResources());
  return 0;
}
