// Fuzzes the S-record parser and checks the promises of its interface on
// every input: the image holds exactly min(length, capacity) bytes, a stop
// line is given exactly when data was left unread, a smaller capacity only
// cuts the image, and an image written out as S-record by the program's own
// writer reads back as the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "image/image_file_writer.h"
#include "image/srecord.h"

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
  constexpr uint64_t kSmall = 0x400, kLarge = 0x10000;  // kLarge: the parts' flash
  const lw::ParsedImage small = lw::parseSRecord(text, kSmall);
  const lw::ParsedImage large = lw::parseSRecord(text, kLarge);
  const lw::ParsedImage none = lw::parseSRecord(text, 0);
  checkOne(small, kSmall);
  checkOne(large, kLarge);
  checkOne(none, 0);
  for (const lw::ParsedImage* other : {&small, &none}) {
    require(other->length == large.length, "the length does not depend on the capacity");
    require(other->dataLeftUnread == large.dataLeftUnread && other->stopLine == large.stopLine,
            "where parsing stops does not depend on the capacity");
    require(std::equal(other->bytes.begin(), other->bytes.end(), large.bytes.begin()),
            "a smaller capacity keeps a head of the same image");
  }
  const std::string written = lw::imageFileContent(large.bytes, lw::ImageFileFormat::SRecord);
  const lw::ParsedImage again = lw::parseSRecord(written, kLarge);
  require(!again.dataLeftUnread && again.bytes == large.bytes, "a written image reads back as the same bytes");
  return 0;
}
