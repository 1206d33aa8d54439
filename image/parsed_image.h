#pragma once
// The image a code-file parser builds from a HEX, S-record or ELF file: a
// flat run of bytes from Code buffer offset 0, gaps 0xFF, as a raw file is
// taken. Parsers keep only what lies below a capacity (the room left in the
// flash), but count everything in the length, so that callers see when a
// file reaches further than they can place.
#include <cstddef>
#include <cstdint>

#include <vector>

namespace lw {

struct ParsedImage {
  // The first min(length, capacity) bytes of the image.
  std::vector<uint8_t> bytes;
  // The end of the highest data placed: the image's full length, which may
  // lie beyond what was kept.
  uint64_t length = 0;
  // Parsing ended before data it did not take: at a damaged record, or at
  // an end record that further data records follow. The image then holds
  // only what came before; stopLine is the 1-based line where parsing ended.
  bool dataLeftUnread = false;
  std::size_t stopLine = 0;
};

// The Code buffer offset of a target address, mapped as the HEX loader maps
// its extended addresses: the flash's linear addresses 0x08xxxxxx land at
// offset 0 and up, every other address at its own offset.
inline uint64_t codeOffsetOf(uint32_t address) {
  return (address >> 24) == 0x08 ? address & 0x00FFFFFFu : address;
}

// Stores the bytes that fall below the capacity at offset `at`, filling any
// gap before them with 0xFF, and extends the length to at + count.
void placeBytes(ParsedImage& image, uint64_t at, const uint8_t* data, std::size_t count, uint64_t capacity);

// Pads the kept bytes with 0xFF up to min(length, capacity): gaps up to the
// end of the highest data read as erased flash.
void finishImage(ParsedImage& image, uint64_t capacity);

}  // namespace lw
