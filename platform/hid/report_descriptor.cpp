#include "platform/hid/report_descriptor.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace lw::hid {
namespace {

struct Globals {
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint32_t reportId = 0;
};

// Item tags (with the type bits) of the items that matter here.
constexpr uint8_t kInput = 0x80, kOutput = 0x90, kFeature = 0xB0;
constexpr uint8_t kReportSize = 0x74, kReportId = 0x84, kReportCount = 0x94, kPush = 0xA4, kPop = 0xB4;
constexpr uint8_t kLongItem = 0xFE;

}  // namespace

std::optional<DescriptorLengths> lengthsFromDescriptor(std::span<const uint8_t> d) {
  Globals g;
  std::vector<Globals> stack;
  // Bits per report ID, for each of input, output, feature.
  std::array<std::map<uint32_t, uint64_t>, 3> bits;
  bool numbered = false;

  std::size_t i = 0;
  while (i < d.size()) {
    const uint8_t prefix = d[i];
    if (prefix == kLongItem) {
      if (i + 1 >= d.size()) return std::nullopt;
      i += 3 + d[i + 1];
      if (i > d.size()) return std::nullopt;
      continue;
    }
    const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (i + 1 + size > d.size()) return std::nullopt;
    uint32_t value = 0;
    for (std::size_t b = 0; b < size; ++b) value |= static_cast<uint32_t>(d[i + 1 + b]) << (8 * b);
    switch (prefix & 0xFC) {
      case kInput: bits[0][g.reportId] += uint64_t{g.reportSize} * g.reportCount; break;
      case kOutput: bits[1][g.reportId] += uint64_t{g.reportSize} * g.reportCount; break;
      case kFeature: bits[2][g.reportId] += uint64_t{g.reportSize} * g.reportCount; break;
      case kReportSize: g.reportSize = value; break;
      case kReportCount: g.reportCount = value; break;
      case kReportId:
        g.reportId = value;
        numbered = true;
        break;
      case kPush: stack.push_back(g); break;
      case kPop:
        if (stack.empty()) return std::nullopt;
        g = stack.back();
        stack.pop_back();
        break;
      default: break;
    }
    i += 1 + size;
  }

  auto longest = [](const std::map<uint32_t, uint64_t>& perId) -> uint32_t {
    uint64_t most = 0;
    for (const auto& [id, count] : perId) most = std::max(most, count);
    if (perId.empty()) return 0;
    return static_cast<uint32_t>(std::min<uint64_t>((most + 7) / 8 + 1, 0xFFFF));
  };
  return DescriptorLengths{longest(bits[0]), longest(bits[1]), longest(bits[2]), numbered};
}

}  // namespace lw::hid
