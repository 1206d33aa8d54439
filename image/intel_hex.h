#pragma once
// The Intel HEX parser. It turns the text of a HEX file into a flat image
// that starts at HEX offset 0 (gaps 0xFF), the same way a raw file is taken.
//
// Rules:
// - a leading UTF-8 byte-order mark is skipped, and text that starts with a
//   UTF-16 byte-order mark is read as the ASCII it carries;
// - the text ends at its first NUL; lines are split at CR and LF (runs of
//   them are one break) and lose trailing blanks and tabs; lines not
//   starting with ':' or holding nothing after it are skipped;
// - digits decode by their low four bits, plus 9 when bit 0x40 is set, so
//   upper- and lower-case digits read alike;
// - a record whose bytes do not sum to 0, whose digit count is odd, which
//   is longer than 260 bytes or shorter than its byte count says ends
//   parsing; what came before stays;
// - type 00 places data at base + address; types 02 and 04 with byte count
//   2 and address 0 set base to value x 16 or value x 65536, where a first
//   value byte of 0x08 counts as 0x00 (so 0x0800xxxx lands at offset 0);
//   any other type ends parsing after its record.
#include <cstdint>
#include <string_view>

#include "image/parsed_image.h"

namespace lw {

inline constexpr std::size_t kMaxHexRecordBytes = 260;  // 255 data bytes + 5

using HexImage = ParsedImage;

// Parses the text keeping at most `capacity` bytes of image. Data beyond the
// capacity is not stored, but still counts towards the length, so callers
// see that the file reaches further than they can place.
HexImage parseIntelHex(std::string_view text, uint64_t capacity);

}  // namespace lw
