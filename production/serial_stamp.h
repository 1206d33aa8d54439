#pragma once
// A serial number from the computer, written into each board's image: the
// number's bytes, least significant first (as the adapter's off-line scheme
// stores its serial value), at an address of the flash.
#include <cstdint>
#include <string>
#include <vector>

namespace lw {

inline constexpr unsigned kMaxSerialBytes = 8;

// The highest number `bytes` bytes hold (1..8); a database keeps numbers up
// to 2^63 - 2.
uint64_t highestSerial(unsigned bytes);

// "0000002A": two hexadecimal digits a byte, at least eight, as the log
// writes serial numbers.
std::string serialDigits(uint64_t number, unsigned bytes);

// Puts number at address; an image shorter than address + bytes is first
// filled up with 0xFF, as erased flash reads.
void stampSerial(std::vector<uint8_t>& image, uint32_t address, uint64_t number, unsigned bytes);

}  // namespace lw
