#pragma once
// Report lengths from a HID report descriptor: for each kind of report the
// longest one the device declares, in bytes, counting the report-ID byte
// (which is counted even when the device uses no report IDs, so the lengths
// match what the program expects on every platform).
#include <cstdint>
#include <optional>
#include <span>

namespace lw::hid {

struct DescriptorLengths {
  uint32_t input = 0;
  uint32_t output = 0;
  uint32_t feature = 0;
  bool numberedReports = false;  // the device declares report IDs
};

// Nothing when the descriptor is cut short or malformed.
std::optional<DescriptorLengths> lengthsFromDescriptor(std::span<const uint8_t> descriptor);

}  // namespace lw::hid
