#include "production/row_id.h"

#include <array>
#include <cstdint>
#include <random>

#include "core/text.h"

namespace lw {

std::string newRowId() {
  // The system's random source each time: ids made by several processes
  // in the same microsecond must still differ.
  std::random_device source;
  std::array<uint8_t, 16> b{};
  for (std::size_t i = 0; i < b.size(); i += 4) {
    const uint32_t word = source();
    for (int k = 0; k < 4; ++k) b[i + k] = static_cast<uint8_t>(word >> (8 * k));
  }
  b[6] = static_cast<uint8_t>((b[6] & 0x0F) | 0x40);
  b[8] = static_cast<uint8_t>((b[8] & 0x3F) | 0x80);
  std::string out;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
    out += format("%02x", b[i]);
  }
  return out;
}

}  // namespace lw
