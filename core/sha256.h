#pragma once
// SHA-256 of a byte image, as 64 lower-case hexadecimal digits: the name a
// production log gives the image a board got, the same on every station.
#include <cstddef>
#include <cstdint>
#include <string>

namespace lw {

std::string sha256Hex(const uint8_t* bytes, std::size_t n);

}  // namespace lw
