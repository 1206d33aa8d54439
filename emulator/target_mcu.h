#pragma once
// The emulated target MCU: whether it is there, which part it is, its supply
// voltage, and its flash and option bytes. Flash behaves like flash: erasing
// sets every byte to 0xFF and programming can only clear bits.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lw::emu {

struct PartFacts {
  uint32_t flashSize = 0x10000;
  uint32_t optionByteCount = 8;
  uint32_t deviceId = 0;  // descriptor key 162
  bool known = false;  // found in the part database
};

// The part's flash size and option-byte count from the program's part
// database; 64 KiB and 8 option bytes for a part it does not know.
PartFacts partFacts(uint16_t partIndex);

struct TargetMcu {
  bool present = true;
  uint16_t partIndex = 43;
  uint16_t millivolts = 3300;
  bool readProtected = false;
  std::optional<uint32_t> flashSizeOverride;
  std::vector<uint8_t> flash;
  std::vector<uint8_t> options;

  uint32_t flashSize() const;
  uint32_t optionByteCount() const;
  // Brings flash and option bytes to the part's sizes: new bytes read 0xFF,
  // bytes past the end are dropped.
  void fitToPart();
  // Mass erase: flash and option bytes to 0xFF, read protection off.
  void erase();
  // Programs data at offset; every byte ANDs into what is there. The byte at
  // corruptAt (when inside the range) is programmed with bit 0 flipped, as
  // a weak cell would; on erased flash it then reads back wrong.
  void program(uint32_t offset, std::span<const uint8_t> data, std::optional<uint32_t> corruptAt);
};

// Option bytes as text: two hex digits a byte, separated by spaces.
std::string formatOptionBytes(const std::vector<uint8_t>& bytes);
// Reads that text ('#' starts a comment); nothing when a word is not a byte.
std::optional<std::vector<uint8_t>> parseOptionBytes(const std::string& text);

}  // namespace lw::emu
