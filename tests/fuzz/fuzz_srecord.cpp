// Fuzzes the S-record parser and checks the promises of its interface on
// every input: the image holds exactly min(length, capacity) bytes, a stop
// line is given exactly when data was left unread, a smaller capacity only
// cuts the image, and an image written out as S-record by the program's own
// writer reads back as the same bytes (for large images on a sample).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "image/image_file_writer.h"
#include "image/srecord.h"
#include "tests/fuzz/fuzz_sample.h"

namespace {

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "S-record invariant broken: %s\n", what);
  std::abort();
}

void checkOne(const lw::ParsedImage& image, uint64_t capacity) {
  require(image.bytes.size() == std::min<uint64_t>(image.length, capacity), "bytes.size() == min(length, capacity)");
  require(image.dataLeftUnread == (image.stopLine != 0), "stopLine is set exactly when data was left unread");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  constexpr uint64_t kLarge = 0x10000;  // the parts' flash
  // Besides the flash's capacity, one smaller capacity picked by the input's
  // hash: the same promises at two thirds of the cost.
  constexpr uint64_t kSmaller[] = {0x400, 0};
  const uint32_t hash = lw::fuzz::inputHash(data, size);
  const uint64_t smallCapacity = kSmaller[hash % std::size(kSmaller)];
  const lw::ParsedImage large = lw::parseSRecord(text, kLarge);
  const lw::ParsedImage small = lw::parseSRecord(text, smallCapacity);
  checkOne(large, kLarge);
  checkOne(small, smallCapacity);
  require(small.length == large.length, "the length does not depend on the capacity");
  require(small.dataLeftUnread == large.dataLeftUnread && small.stopLine == large.stopLine,
          "where parsing stops does not depend on the capacity");
  require(std::equal(small.bytes.begin(), small.bytes.end(), large.bytes.begin()),
          "a smaller capacity keeps a head of the same image");
  // Writing an image out costs in proportion to its size, not the input's:
  // a few bytes at a high address make 64 KiB. Small images make the round
  // trip every time, large ones on one input in 16.
  if (large.bytes.size() <= 0x1000 || (hash >> 8) % 16 == 0) {
    const std::string written = lw::imageFileContent(large.bytes, lw::ImageFileFormat::SRecord);
    const lw::ParsedImage again = lw::parseSRecord(written, kLarge);
    require(!again.dataLeftUnread && again.bytes == large.bytes, "a written image reads back as the same bytes");
  }
  return 0;
}
