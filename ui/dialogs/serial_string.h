#pragma once
// The serial string of off-line programming as the adapter stores it: the
// text in the 8-bit code page, at most 12 bytes, cut only between
// characters so that no character is ever split or runs past the field.
#include <array>
#include <cstdint>
#include <string_view>

namespace lw {

struct SerialStringBytes {
  std::array<uint8_t, 13> bytes{};  // the converted text and its terminating zero
  std::size_t length = 0;           // bytes before the zero
  bool cut = false;                 // characters beyond the 12 bytes were dropped
  bool replaced = false;            // characters the code page lacks became '?'
};

// Converts up to 12 characters of the UTF-8 text.
SerialStringBytes serialStringBytes(std::string_view utf8);

}  // namespace lw
