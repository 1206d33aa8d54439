// Fuzzes the Intel HEX parser and checks the promises of its interface on
// every input: the image holds exactly min(length, capacity) bytes, a stop
// line is given exactly when data was left unread, and a smaller capacity
// only cuts the image, never changes what was read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string_view>

#include "image/intel_hex.h"
#include "tests/fuzz/fuzz_sample.h"

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
  // Every input is read at the flash's capacity and at one other, picked by
  // the input's hash, instead of at all four: each pairing checks the same
  // promises at half the cost, and across inputs every capacity is met.
  constexpr uint64_t kFlash = 0x10000;
  constexpr uint64_t kOthers[] = {0x1000, 0x40000, 0};
  const uint64_t otherCapacity = kOthers[lw::fuzz::inputHash(data, size) % std::size(kOthers)];
  const lw::HexImage flash = lw::parseIntelHex(text, kFlash);
  const lw::HexImage other = lw::parseIntelHex(text, otherCapacity);
  checkOne(flash, kFlash);
  checkOne(other, otherCapacity);
  const lw::HexImage& smaller = otherCapacity < kFlash ? other : flash;
  const lw::HexImage& larger = otherCapacity < kFlash ? flash : other;
  require(smaller.length == larger.length, "the length does not depend on the capacity");
  require(smaller.dataLeftUnread == larger.dataLeftUnread && smaller.stopLine == larger.stopLine,
          "where parsing stops does not depend on the capacity");
  require(std::equal(smaller.bytes.begin(), smaller.bytes.end(), larger.bytes.begin()),
          "a smaller capacity keeps a head of the same image");
  return 0;
}
