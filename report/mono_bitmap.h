#pragma once
// A black-and-white picture and its BMP file form: 1 bit per pixel, a
// two-colour palette (0 black, 1 white), rows bottom-up padded to 4 bytes.
#include <cstdint>
#include <vector>

namespace lw {

struct MonoBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> black;  // width * height, row by row from the top; 1 = black

  MonoBitmap(int w, int h) : width(w), height(h), black(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0) {}
  bool isBlack(int x, int y) const { return black[static_cast<std::size_t>(y) * width + x] != 0; }
  void setBlack(int x, int y) { black[static_cast<std::size_t>(y) * width + x] = 1; }
};

std::vector<uint8_t> encodeMonoBmp(const MonoBitmap& bitmap);

}  // namespace lw
