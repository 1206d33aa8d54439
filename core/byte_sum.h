#pragma once
#include <cstddef>
#include <cstdint>

namespace lw {

// Arithmetic sum of n bytes; callers keep the low 16 bits as the code checksum.
inline uint32_t byteSum(const uint8_t* data, std::size_t n) {
  uint32_t total = 0;
  for (std::size_t i = 0; i < n; ++i) total += data[i];
  return total;
}

inline uint16_t codeChecksum(const uint8_t* data, std::size_t n) {
  return static_cast<uint16_t>(byteSum(data, n));
}

}  // namespace lw
