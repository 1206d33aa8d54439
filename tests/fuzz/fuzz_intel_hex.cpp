// Fuzzes the Intel HEX parser and checks the promises of its interface on
// every input: the image holds exactly min(length, capacity) bytes, a stop
// line is given exactly when data was left unread, and a smaller capacity
// only cuts the image, never changes what was read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string_view>

#include "image/intel_hex.h"

namespace {

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "Intel HEX invariant broken: %s\n", what);
  std::abort();
}

void checkOne(const lw::HexImage& image, uint64_t capacity) {
  require(image.bytes.size() == std::min<uint64_t>(image.length, capacity), "bytes.size() == min(length, capacity)");
  require(image.dataLeftUnread == (image.stopLine != 0), "stopLine is set exactly when data was left unread");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  constexpr uint64_t kSmall = 0x1000, kFlash = 0x10000, kLarge = 0x40000;
  const lw::HexImage small = lw::parseIntelHex(text, kSmall);
  const lw::HexImage flash = lw::parseIntelHex(text, kFlash);
  const lw::HexImage large = lw::parseIntelHex(text, kLarge);
  const lw::HexImage none = lw::parseIntelHex(text, 0);
  checkOne(small, kSmall);
  checkOne(flash, kFlash);
  checkOne(large, kLarge);
  checkOne(none, 0);
  for (const lw::HexImage* other : {&small, &flash, &none}) {
    require(other->length == large.length, "the length does not depend on the capacity");
    require(other->dataLeftUnread == large.dataLeftUnread && other->stopLine == large.stopLine,
            "where parsing stops does not depend on the capacity");
    require(std::equal(other->bytes.begin(), other->bytes.end(), large.bytes.begin()),
            "a smaller capacity keeps a head of the same image");
  }
  return 0;
}
