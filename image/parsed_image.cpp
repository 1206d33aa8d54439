#include "image/parsed_image.h"

#include <algorithm>

namespace lw {

void placeBytes(ParsedImage& image, uint64_t at, const uint8_t* data, std::size_t count, uint64_t capacity) {
  image.length = std::max<uint64_t>(image.length, at + count);
  if (at >= capacity) return;
  const auto kept = static_cast<std::size_t>(std::min<uint64_t>(count, capacity - at));
  const auto needed = static_cast<std::size_t>(at + kept);
  if (image.bytes.size() < needed) image.bytes.resize(needed, 0xFF);
  std::copy_n(data, kept, image.bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

void finishImage(ParsedImage& image, uint64_t capacity) {
  image.bytes.resize(static_cast<std::size_t>(std::min(image.length, capacity)), 0xFF);
}

}  // namespace lw
