#pragma once
// The flash content of an ELF executable, read through libelf: the file
// bytes of every loadable segment at its load (physical) address, mapped to
// the Code buffer as the HEX loader maps addresses (codeOffsetOf). The
// zero fill beyond a segment's file bytes (.bss) is not flash content, and a
// segment whose load address lies at or beyond the flash limit (RAM code or
// data without a flash copy) is left out and named, not placed.
#include <cstdint>
#include <span>
#include <vector>

#include "image/parsed_image.h"

namespace lw {

// Why a file is not taken as an ELF image.
enum class ElfRefusal {
  None,
  NotElf,           // no ELF identification
  Not32Bit,         // 64-bit
  NotLittleEndian,  // big-endian
  NotArm,           // another machine
  NotExecutable,    // an object file, a shared object, a core dump
  Damaged,          // headers or segments not within the file
  NoLoadableBytes,  // no segment with bytes for the flash
};

struct ElfSegment {
  uint32_t loadAddress = 0;
  uint32_t size = 0;  // file bytes
};

struct ElfImage {
  ElfRefusal refusal = ElfRefusal::None;
  // Empty when refused; never reports unread data (dataLeftUnread stays false).
  ParsedImage image;
  // Segments with bytes at or beyond the flash limit, in file order; kept
  // with the NoLoadableBytes refusal when they were all there was.
  std::vector<ElfSegment> leftOut;
};

// Reads the file's segments. Segments whose Code buffer offset is at or
// beyond flashLimit are left out; of the rest, at most `capacity` bytes of
// image are kept and all count in the length.
ElfImage parseElfImage(std::span<const uint8_t> file, uint64_t flashLimit, uint64_t capacity);

}  // namespace lw
