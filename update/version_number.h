#pragma once
// Version numbers of four components packed one byte each, most
// significant first (major << 24 | minor << 16 | build << 8 | revision), so
// that two versions compare as unsigned 32-bit numbers.
#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

uint32_t packVersion(unsigned major, unsigned minor, unsigned build, unsigned revision);

// "1.4.0.0": each dot-separated part read as an unsigned decimal number of
// which only the low 8 bits are kept; missing or unreadable parts count as 0.
uint32_t parseVersion(std::string_view text);

// "%d.%d.%d.%d" of the four bytes.
std::string formatVersion(uint32_t version);

}  // namespace lw
