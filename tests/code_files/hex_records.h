#pragma once
// Builds Intel HEX record lines with a correct checksum.
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"

namespace lw::test {

inline std::string hexRecord(uint8_t type, uint16_t address, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8),
                             static_cast<uint8_t>(address), type};
  bytes.insert(bytes.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (const uint8_t b : bytes) sum += b;
  bytes.push_back(static_cast<uint8_t>(0x100 - (sum & 0xFF)));
  std::string line = ":";
  for (const uint8_t b : bytes) line += format("%02X", b);
  return line + "\n";
}

inline std::string dataRecord(uint16_t address, const std::vector<uint8_t>& data) { return hexRecord(0, address, data); }
inline std::string linearAddress(uint16_t high) {
  return hexRecord(4, 0, {static_cast<uint8_t>(high >> 8), static_cast<uint8_t>(high)});
}
inline std::string endOfFile() { return ":00000001FF\n"; }

}  // namespace lw::test
