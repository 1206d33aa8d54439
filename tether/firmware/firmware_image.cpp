#include "tether/firmware/firmware_image.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace lw::fwimage {
namespace {

constexpr std::size_t kCrcField = kHeaderAt + 20;
constexpr uint32_t kStackTop = 0x20001000;       // 4 KiB of RAM
constexpr std::size_t kVectorCount = 48;
constexpr std::size_t kStringsAt = kHeaderAt + kHeaderSize;
constexpr std::size_t kCodeAt = 0x140;
constexpr char kTrailerMagic[8] = {'L', 'W', 'A', 'F', '-', 'E', 'N', 'D'};

void putU16(std::vector<uint8_t>& b, std::size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void putU32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t getU32(std::span<const uint8_t> b, std::size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

// A small deterministic generator, so the same version always builds the
// same bytes.
struct XorShift {
  uint32_t state;
  uint32_t next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
};

// Emits plausible Thumb-1 functions: a push, a body of common ALU, load,
// store, compare and branch instructions, and a pop.
void fillCode(std::vector<uint8_t>& b, std::size_t from, std::size_t to, XorShift& rng) {
  std::size_t at = from;
  auto emit = [&](uint16_t insn) {
    if (at + 2 <= to) {
      b[at] = static_cast<uint8_t>(insn);
      b[at + 1] = static_cast<uint8_t>(insn >> 8);
      at += 2;
    }
  };
  while (at + 2 <= to) {
    emit(0xB5F0);  // push {r4-r7, lr}
    const uint32_t length = 8 + rng.next() % 40;
    for (uint32_t i = 0; i < length && at + 2 <= to; ++i) {
      const uint32_t r = rng.next();
      const uint16_t rd = r & 7;
      const uint16_t rn = (r >> 3) & 7;
      const uint16_t imm = (r >> 6) & 0xFF;
      switch ((r >> 16) % 9) {
        case 0: emit(static_cast<uint16_t>(0x2000 | (rd << 8) | imm)); break;              // movs rd, #imm
        case 1: emit(static_cast<uint16_t>(0x6800 | ((imm & 31) << 6) | (rn << 3) | rd)); break;  // ldr
        case 2: emit(static_cast<uint16_t>(0x6000 | ((imm & 31) << 6) | (rn << 3) | rd)); break;  // str
        case 3: emit(static_cast<uint16_t>(0x1800 | (((r >> 20) & 7) << 6) | (rn << 3) | rd)); break;  // adds
        case 4: emit(static_cast<uint16_t>(0x2800 | (rd << 8) | imm)); break;              // cmp rd, #imm
        case 5: emit(static_cast<uint16_t>(0xD100 | (imm & 0x7F))); break;                 // bne
        case 6: emit(static_cast<uint16_t>(0x4000 | (rn << 3) | rd)); break;               // ands
        case 7: emit(static_cast<uint16_t>(0x0000 | ((imm & 31) << 6) | (rn << 3) | rd)); break;  // lsls
        default:                                                                           // bl
          emit(static_cast<uint16_t>(0xF000 | ((r >> 21) & 0x7FF)));
          emit(static_cast<uint16_t>(0xF800 | (imm << 3)));
          break;
      }
    }
    emit(0xBDF0);  // pop {r4-r7, pc}
  }
}

}  // namespace

Version versionOf(std::span<const uint8_t> image) {
  if (image.size() < 2) return {};
  return {image[image.size() - 2], image[image.size() - 1]};
}

uint32_t crc32(std::span<const uint8_t> bytes, uint32_t crc) {
  crc = ~crc;
  for (uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

uint32_t imageCrc(std::span<const uint8_t> image) {
  if (image.size() < kCrcField + 4) return crc32(image);
  static constexpr std::array<uint8_t, 4> zero{};
  uint32_t crc = crc32(image.first(kCrcField));
  crc = crc32(zero, crc);
  return crc32(image.subspan(kCrcField + 4), crc);
}

bool isValidImage(std::span<const uint8_t> image, std::string* why) {
  auto fail = [&](const char* reason) {
    if (why) *why = reason;
    return false;
  };
  if (image.size() < kMinimumSize) return fail("the image is too short");
  if (image.size() > kMaximumSize) return fail("the image does not fit the adapter's flash");
  if (std::memcmp(image.data() + kHeaderAt, kMagic, 4) != 0) return fail("the image has no header");
  if (getU32(image, kHeaderAt + 8) != image.size()) return fail("the image size does not match its header");
  if (getU32(image, kHeaderAt + 12) != kLoadAddress) return fail("the image is built for another load address");
  if (std::memcmp(image.data() + image.size() - kTrailerSize, kTrailerMagic, 8) != 0)
    return fail("the image has no trailer");
  if (getU32(image, kCrcField) != imageCrc(image)) return fail("the image's CRC is wrong");
  return true;
}

std::vector<uint8_t> buildImage(Version version, uint32_t buildNumber, std::size_t size) {
  size = std::max(size, kCodeAt + kTrailerSize + 64) & ~static_cast<std::size_t>(3);
  std::vector<uint8_t> b(size, 0);
  XorShift rng{0x9E3779B9u ^ (static_cast<uint32_t>(version.major) << 8) ^ version.minor ^ (buildNumber << 16)};

  const uint32_t reset = kLoadAddress + kCodeAt + 1;  // Thumb bit set
  const uint32_t fault = kLoadAddress + kCodeAt + 0x41;
  putU32(b, 0, kStackTop);
  putU32(b, 4, reset);
  for (std::size_t v = 2; v < kVectorCount; ++v) {
    const bool reserved = (v >= 4 && v <= 10) || v == 12 || v == 13;
    putU32(b, v * 4, reserved ? 0 : fault);
  }

  std::memcpy(b.data() + kHeaderAt, kMagic, 4);
  putU16(b, kHeaderAt + 4, 1);
  putU16(b, kHeaderAt + 6, kHeaderSize);
  putU32(b, kHeaderAt + 8, static_cast<uint32_t>(size));
  putU32(b, kHeaderAt + 12, kLoadAddress);
  putU32(b, kHeaderAt + 16, reset);
  putU32(b, kHeaderAt + 24, buildNumber);

  char strings[kCodeAt - kStringsAt] = {};
  std::snprintf(strings, sizeof strings, "Loomwrite link adapter%cfirmware %X.%02X build %u%cSWD 1.8-5.5V",
                0, version.major, version.minor, static_cast<unsigned>(buildNumber), 0);
  std::memcpy(b.data() + kStringsAt, strings, sizeof strings);

  fillCode(b, kCodeAt, size - kTrailerSize, rng);

  const std::size_t trailer = size - kTrailerSize;
  std::memcpy(b.data() + trailer, kTrailerMagic, 8);
  putU32(b, trailer + 8, buildNumber);
  b[size - 2] = version.major;
  b[size - 1] = version.minor;

  putU32(b, kCrcField, imageCrc(b));
  return b;
}

}  // namespace lw::fwimage
