#include "production/serial_stamp.h"

#include <algorithm>
#include <limits>

#include "core/text.h"

namespace lw {

uint64_t highestSerial(unsigned bytes) {
  // The pool's next number is kept too, so the largest number is one below
  // a signed 64-bit integer's largest.
  constexpr uint64_t kDatabaseLimit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) - 1;
  if (bytes >= 8) return kDatabaseLimit;
  return std::min(kDatabaseLimit, (uint64_t{1} << (8 * bytes)) - 1);
}

std::string serialDigits(uint64_t number, unsigned bytes) {
  const int digits = static_cast<int>(std::max(8u, 2 * bytes));
  return format("%0*llX", digits, static_cast<unsigned long long>(number));
}

void stampSerial(std::vector<uint8_t>& image, uint32_t address, uint64_t number, unsigned bytes) {
  const std::size_t end = static_cast<std::size_t>(address) + bytes;
  if (image.size() < end) image.resize(end, 0xFF);
  for (unsigned i = 0; i < bytes; ++i) image[address + i] = static_cast<uint8_t>(number >> (8 * i));
}

}  // namespace lw
