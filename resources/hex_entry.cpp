#include "resources/hex_entry.h"

#include <algorithm>

#include "core/text.h"

namespace lw {

uint32_t hexRead(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) i += 2;
  // A value past 32 bits reads as the largest one rather than wrapping
  // round to a small address.
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) break;
    value = std::min<uint64_t>(value * 16 + static_cast<uint64_t>(digit), 0xFFFFFFFFu + uint64_t{1});
  }
  return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

std::string hexFormat(uint32_t value, int width) {
  if (width <= 0) return format("%X", value);
  const std::string fmt = format("%%0%dX", width);
  return format(fmt.c_str(), value);
}

bool hexEntryAccepts(char32_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 8 || c == 12;
}

}  // namespace lw
