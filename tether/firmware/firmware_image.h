#pragma once
// The adapter firmware image: its layout, its checks and how the build makes
// one. The image is what the firmware update downloads into the adapter; the
// adapter's boot loader checks it the same way before it starts it.
//
// Layout (all numbers least significant byte first):
//   0x000  Cortex-M0+ vector table, 48 words (stack pointer, reset handler, ...)
//   0x0C0  header, 32 bytes:
//            +0  "LWAF"  magic
//            +4  u16     header format, 1
//            +6  u16     header size, 32
//            +8  u32     image size in bytes
//            +12 u32     load address in the adapter's flash
//            +16 u32     entry point (the reset handler)
//            +20 u32     CRC-32 of the whole image, computed with this field 0
//            +24 u32     build number
//            +28 4 bytes 0
//   0x0E0  identification strings, then the program
//   end-16 trailer: "LWAF-END", u32 build number, 2 bytes 0, major, minor
// The last two bytes are the firmware version, major then minor.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lw::fwimage {

inline constexpr char kMagic[4] = {'L', 'W', 'A', 'F'};
inline constexpr std::size_t kHeaderAt = 0xC0;
inline constexpr std::size_t kHeaderSize = 32;
inline constexpr std::size_t kTrailerSize = 16;
inline constexpr std::size_t kMinimumSize = kHeaderAt + kHeaderSize + kTrailerSize;
inline constexpr uint32_t kLoadAddress = 0x08002000;  // after the 8 KiB boot loader
inline constexpr std::size_t kMaximumSize = 0x1E000;  // the rest of a 128 KiB flash

struct Version {
  uint8_t major = 0;
  uint8_t minor = 0;
  bool operator==(const Version&) const = default;
};

// The last two bytes; 0.0 when the image is shorter than that.
Version versionOf(std::span<const uint8_t> image);

// CRC-32 (the common reflected polynomial 0xEDB88320).
uint32_t crc32(std::span<const uint8_t> bytes, uint32_t crc = 0);

// The image's CRC with its own CRC field taken as 0.
uint32_t imageCrc(std::span<const uint8_t> image);

// True when the bytes are a complete image for this adapter; otherwise
// false with the reason in *why.
bool isValidImage(std::span<const uint8_t> image, std::string* why = nullptr);

// Builds a believable image of the given size (a multiple of 4, at least
// kMinimumSize): vector table, header, strings and Thumb code, trailer.
std::vector<uint8_t> buildImage(Version version, uint32_t buildNumber, std::size_t size);

}  // namespace lw::fwimage
