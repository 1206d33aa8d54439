#include "resources/keyed_table.h"

#include <cerrno>
#include <cstdlib>

#include "core/text.h"

namespace lw {

namespace {

// Reads the little-endian 16-bit unit at byte offset pos; the table ends
// where the resource ends, so a unit past it reads as the end marker.
uint16_t unitAt(std::span<const uint8_t> bytes, std::size_t pos) {
  if (pos + 1 >= bytes.size()) return kTableEnd;
  return static_cast<uint16_t>(bytes[pos] | (bytes[pos + 1] << 8));
}

}  // namespace

std::optional<std::u16string> textByKey16(const ResourceSource& res, uint32_t table, uint16_t key) {
  const std::span<const uint8_t> bytes = res.find(kKeyedTableType, table & 0xFFFF);
  if (bytes.data() == nullptr) return std::nullopt;
  std::size_t pos = 0;
  for (;;) {
    const uint16_t entryKey = unitAt(bytes, pos);
    if (entryKey == key && key != kTableEnd) {
      std::u16string text;
      for (std::size_t p = pos + 2;; p += 2) {
        if (p + 1 >= bytes.size()) break;  // unterminated text at the end of the resource
        const uint16_t unit = unitAt(bytes, p);
        if (unit == 0) break;
        text += static_cast<char16_t>(unit);
      }
      return text;
    }
    if (entryKey == kTableEnd) return std::nullopt;
    // Skip the key and the text with its terminating zero.
    pos += 2;
    while (pos + 1 < bytes.size() && unitAt(bytes, pos) != 0) pos += 2;
    pos += 2;
    if (unitAt(bytes, pos) == kTableEnd) return std::nullopt;
  }
}

std::optional<std::string> textByKey(const ResourceSource& res, uint32_t table, uint16_t key) {
  auto text = textByKey16(res, table, key);
  if (!text) return std::nullopt;
  return utf16ToUtf8(*text);
}

uint32_t parseNumberAuto(std::string_view text) {
  // strtoul with a 32-bit unsigned long: out-of-range values saturate and
  // a minus sign negates the magnitude.
  std::string copy(text);
  std::size_t i = 0;
  while (i < copy.size() && (copy[i] == ' ' || (copy[i] >= '\t' && copy[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < copy.size() && (copy[i] == '+' || copy[i] == '-')) {
    negative = copy[i] == '-';
    ++i;
  }
  if (i < copy.size() && (copy[i] == '+' || copy[i] == '-' || copy[i] == ' ')) return 0;
  errno = 0;
  const unsigned long long v = std::strtoull(copy.c_str() + i, nullptr, 0);
  if (errno == ERANGE || v > 0xFFFFFFFFull) return 0xFFFFFFFFu;
  const auto value = static_cast<uint32_t>(v);
  return negative ? static_cast<uint32_t>(0u - value) : value;
}

uint32_t numberByKey(const ResourceSource& res, uint32_t table, uint16_t key) {
  const auto text = textByKey(res, table, key);
  return text ? parseNumberAuto(*text) : 0;
}

}  // namespace lw
