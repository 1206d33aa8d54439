#include "report/mono_bitmap.h"

namespace lw {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> encodeMonoBmp(const MonoBitmap& bitmap) {
  const uint32_t rowBytes = ((static_cast<uint32_t>(bitmap.width) + 31) / 32) * 4;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(bitmap.height);
  constexpr uint32_t kHeaderBytes = 14 + 40 + 2 * 4;

  std::vector<uint8_t> out;
  out.reserve(kHeaderBytes + imageBytes);
  // File header.
  out.push_back('B');
  out.push_back('M');
  put32(out, kHeaderBytes + imageBytes);
  put32(out, 0);
  put32(out, kHeaderBytes);
  // Info header.
  put32(out, 40);
  put32(out, static_cast<uint32_t>(bitmap.width));
  put32(out, static_cast<uint32_t>(bitmap.height));  // positive: bottom-up
  put16(out, 1);                                     // planes
  put16(out, 1);                                     // bits per pixel
  put32(out, 0);                                     // no compression
  put32(out, imageBytes);
  put32(out, 0);
  put32(out, 0);
  put32(out, 2);  // colours used
  put32(out, 0);
  // Palette: index 0 black, 1 white (blue, green, red, reserved).
  put32(out, 0x00000000);
  put32(out, 0x00FFFFFF);

  for (int y = bitmap.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (int x = 0; x < bitmap.width; ++x) {
      if (!bitmap.isBlack(x, y)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace lw
