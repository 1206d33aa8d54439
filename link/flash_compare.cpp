#include "link/flash_compare.h"

#include <algorithm>

#include "core/text.h"

namespace lw {

FlashComparison compareFlash(std::span<const uint8_t> expected, std::span<const uint8_t> found, std::size_t keep) {
  FlashComparison c;
  const std::size_t n = std::min(expected.size(), found.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (expected[i] == found[i]) continue;
    if (c.first.size() < keep) c.first.push_back({static_cast<uint32_t>(i), expected[i], found[i]});
    ++c.differing;
  }
  return c;
}

std::optional<uint32_t> firstNonBlank(std::span<const uint8_t> bytes) {
  const auto it = std::find_if(bytes.begin(), bytes.end(), [](uint8_t b) { return b != 0xFF; });
  if (it == bytes.end()) return std::nullopt;
  return static_cast<uint32_t>(it - bytes.begin());
}

std::string differenceLines(const std::vector<ByteDifference>& differences) {
  std::string lines;
  for (const ByteDifference& d : differences) {
    if (!lines.empty()) lines += '\n';
    lines += format("0x%08X: %02X / %02X", d.offset, d.expected, d.found);
  }
  return lines;
}

}  // namespace lw
