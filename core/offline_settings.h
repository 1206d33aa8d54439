#pragma once
// The settings of off-line programming: what the adapter does when it
// programs targets on its own. Edited in the Off-line mode dialog, kept with
// the main dialog's project record (never stored in a project file) and
// written into the adapter's off-line header by "Update Programmer".
#include <array>
#include <cstdint>

namespace lw {

namespace offlineflag {
inline constexpr uint8_t kSerialEnabled = 0x01;
inline constexpr uint8_t kAutoIncrement = 0x02;
}  // namespace offlineflag

// The highest max counter the adapter takes.
inline constexpr uint32_t kMaxCounterLimit = 65530;
// Bytes of the serial string that go into the header and the target.
inline constexpr std::size_t kSerialStringBytes = 12;
// The serial number's field in the target's flash: the string, then the number.
inline constexpr uint32_t kSerialFieldBytes = 16;

struct OfflineSettings {
  uint8_t flags = 0;  // offlineflag::...
  uint32_t startAddress = 0;
  uint32_t serialValue = 0;
  uint16_t maxCounter = 0;
  // Up to 12 code-page bytes with a terminating zero; preset 12 blanks.
  std::array<uint8_t, 16> serialString{' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0, 0, 0, 0};
};

}  // namespace lw
