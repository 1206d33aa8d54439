#include "update/version_number.h"

#include "core/text.h"

namespace lw {

uint32_t packVersion(unsigned major, unsigned minor, unsigned build, unsigned revision) {
  return (major & 0xFFu) << 24 | (minor & 0xFFu) << 16 | (build & 0xFFu) << 8 | (revision & 0xFFu);
}

uint32_t parseVersion(std::string_view text) {
  unsigned parts[4] = {0, 0, 0, 0};
  for (int i = 0; i < 4 && !text.empty(); ++i) {
    const auto dot = text.find('.');
    const std::string_view piece = text.substr(0, dot);
    unsigned value = 0;
    // Leading blanks are skipped and reading stops at the first non-digit,
    // as an unsigned decimal conversion does; only the low byte survives,
    // so wrapping on overflow changes nothing that is kept.
    std::size_t k = 0;
    while (k < piece.size() && (piece[k] == ' ' || piece[k] == '\t')) ++k;
    for (; k < piece.size() && piece[k] >= '0' && piece[k] <= '9'; ++k) value = value * 10 + unsigned(piece[k] - '0');
    parts[i] = value;
    text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  }
  return packVersion(parts[0], parts[1], parts[2], parts[3]);
}

std::string formatVersion(uint32_t v) {
  return format("%u.%u.%u.%u", v >> 24 & 0xFFu, v >> 16 & 0xFFu, v >> 8 & 0xFFu, v & 0xFFu);
}

}  // namespace lw
