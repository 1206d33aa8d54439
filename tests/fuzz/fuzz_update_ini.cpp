// Fuzzes the update check's reading of the published version file: the INI
// reader, the version parser and the UTF-8 cut, each checked against its
// promises.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "update/ini_reader.h"
#include "update/update_texts.h"
#include "update/version_number.h"

namespace {

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "update check invariant broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const auto& [section, key] : {std::pair{lw::updatetext::kSection, lw::updatetext::kVersionKey}, std::pair{"update", "version"}}) {
    if (const auto value = lw::iniValue(text, section, key)) {
      const uint32_t packed = lw::parseVersion(*value);
      require(lw::parseVersion(lw::formatVersion(packed)) == packed, "a formatted version reads back the same");
      const std::string cut = lw::truncateUtf8(*value, 31);
      require(cut.size() <= 31 && value->starts_with(cut), "the cut is a head of at most 31 bytes");
    }
  }
  const std::string cut = lw::truncateUtf8(std::string(text), size / 2);
  require(cut.size() <= size / 2 && text.starts_with(cut), "the cut is a head of at most the bytes asked for");
  lw::parseVersion(text);
  return 0;
}
