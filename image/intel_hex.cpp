#include "image/intel_hex.h"

#include <algorithm>
#include <array>

namespace lw {

namespace {

enum RecordType : uint8_t { kData = 0x00, kSegmentAddress = 0x02, kLinearAddress = 0x04 };

uint8_t digitValue(char c) {
  const auto u = static_cast<unsigned char>(c);
  return static_cast<uint8_t>((u & 0x0F) + ((u & 0x40) ? 9 : 0));
}

// Decodes the digits after ':' into bytes. False when the line cannot be a
// record the parser handles: an odd digit count or more than 260 bytes.
bool decodeRecord(std::string_view digits, std::array<uint8_t, kMaxHexRecordBytes>& out, std::size_t& count) {
  if (digits.size() % 2 != 0 || digits.size() / 2 > out.size()) return false;
  count = digits.size() / 2;
  for (std::size_t i = 0; i < count; ++i) {
    out[i] = static_cast<uint8_t>((digitValue(digits[2 * i]) << 4) | digitValue(digits[2 * i + 1]));
  }
  return true;
}

// Stores the data bytes of one record that fall below the capacity.
void place(HexImage& image, uint64_t at, const uint8_t* data, std::size_t count, uint64_t capacity) {
  if (at >= capacity) return;
  const auto kept = static_cast<std::size_t>(std::min<uint64_t>(count, capacity - at));
  const auto needed = static_cast<std::size_t>(at + kept);
  if (image.bytes.size() < needed) image.bytes.resize(needed, 0xFF);
  std::copy_n(data, kept, image.bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

HexImage parseIntelHex(std::string_view text, uint64_t capacity) {
  text = text.substr(0, text.find('\0'));
  HexImage image;
  uint64_t base = 0;
  std::array<uint8_t, kMaxHexRecordBytes> rec{};

  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t lineEnd = std::min(text.find_first_of("\r\n", pos), text.size());
    const std::string_view line = text.substr(pos, lineEnd - pos);
    pos = text.find_first_not_of("\r\n", lineEnd);
    if (pos == std::string_view::npos) pos = text.size();

    if (line.size() < 2 || line[0] != ':') continue;
    std::size_t n = 0;
    if (!decodeRecord(line.substr(1), rec, n)) break;
    unsigned sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += rec[i];
    if ((sum & 0xFF) != 0) break;
    const std::size_t count = rec[0];
    if (n < count + 5) break;  // the data would run past the line

    const uint32_t address = (static_cast<uint32_t>(rec[1]) << 8) | rec[2];
    const uint8_t type = rec[3];
    const uint8_t* data = &rec[4];
    if (type == kData) {
      place(image, base + address, data, count, capacity);
      image.length = std::max<uint64_t>(image.length, base + address + count);
    } else if (type == kSegmentAddress || type == kLinearAddress) {
      if (count != 2 || address != 0) continue;
      const uint32_t high = data[0] == 0x08 ? 0 : data[0];
      const uint64_t value = (high << 8) | data[1];
      base = type == kSegmentAddress ? value * 16 : value * 65536;
    } else {
      break;
    }
  }
  // Gaps up to the end of the highest record read as erased flash.
  const auto kept = static_cast<std::size_t>(std::min(image.length, capacity));
  image.bytes.resize(kept, 0xFF);
  return image;
}

}  // namespace lw
