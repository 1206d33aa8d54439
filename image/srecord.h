#pragma once
// The S-record parser. It turns the text of an S-record file (.srec, .s19,
// .s28, .s37, .mot) into a flat image from Code buffer offset 0, the
// addresses mapped as the HEX loader maps them (codeOffsetOf).
//
// Rules:
// - a leading UTF-8 byte-order mark is skipped; lines end at CR, LF or
//   CR LF and lose trailing blanks and tabs; empty lines and lines not
//   starting with 'S' are skipped, as the HEX parser skips lines without ':';
// - a record is 'S', a type digit, then pairs of hexadecimal digits (either
//   case): the byte count (address, data and checksum bytes), the address
//   (2 bytes for S0, S1, S5, S9; 3 for S2, S6, S8; 4 for S3, S7), the data
//   and a checksum that makes the bytes after the type add up to 0xFF;
// - S0 (header) is checked and ignored; S1, S2 and S3 place their data;
//   S5 and S6 must hold the number of S1/S2/S3 records before them; S7, S8
//   and S9 end the file;
// - a damaged record (bad digit, odd digit count, a byte count that is not
//   the line's, a wrong checksum, the reserved type S4) and a wrong record
//   count end parsing, as a damaged HEX record does: what came before stays
//   and the line is reported; data records after an end record are
//   reported the same way.
#include <cstdint>
#include <string_view>

#include "image/parsed_image.h"

namespace lw {

// Parses the text keeping at most `capacity` bytes of image; the length
// counts everything the records place.
ParsedImage parseSRecord(std::string_view text, uint64_t capacity);

}  // namespace lw
