// Fuzzes the ELF reader (libelf underneath) and checks the promises of its
// interface on every input: a refused file places nothing, a file taken
// holds exactly min(length, capacity) bytes and at least one byte, every
// segment left out lies at or beyond the flash limit, and a smaller capacity
// only cuts the same image.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "image/elf_image.h"

namespace {

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "ELF invariant broken: %s\n", what);
  std::abort();
}

constexpr uint64_t kFlash = 0x10000;

void checkOne(const lw::ElfImage& elf, uint64_t capacity) {
  const lw::ParsedImage& image = elf.image;
  require(!image.dataLeftUnread && image.stopLine == 0, "an ELF image never reports unread lines");
  if (elf.refusal != lw::ElfRefusal::None) {
    require(image.bytes.empty() && image.length == 0, "a refused file places nothing");
    require(elf.leftOut.empty() || elf.refusal == lw::ElfRefusal::NoLoadableBytes,
            "segments are named only with a file taken or one with nothing for the flash");
    return;
  }
  require(image.length > 0, "a file taken holds bytes");
  require(image.bytes.size() == std::min<uint64_t>(image.length, capacity), "bytes.size() == min(length, capacity)");
  for (const lw::ElfSegment& s : elf.leftOut) {
    require(lw::codeOffsetOf(s.loadAddress) >= kFlash && s.size > 0, "a segment left out lies beyond the flash");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::span<const uint8_t> file(data, size);
  constexpr uint64_t kSmall = 0x100;
  const lw::ElfImage small = lw::parseElfImage(file, kFlash, kSmall);
  const lw::ElfImage whole = lw::parseElfImage(file, kFlash, kFlash);
  checkOne(small, kSmall);
  checkOne(whole, kFlash);
  require(small.refusal == whole.refusal && small.image.length == whole.image.length &&
              small.leftOut.size() == whole.leftOut.size(),
          "the capacity changes only how much is kept");
  require(std::equal(small.image.bytes.begin(), small.image.bytes.end(), whole.image.bytes.begin()),
          "a smaller capacity keeps a head of the same image");
  return 0;
}
