#include "image/elf_image.h"

#include <cstring>
#include <memory>

#include <gelf.h>
#include <libelf.h>

namespace lw {

namespace {

struct ElfEnd {
  void operator()(Elf* elf) const { elf_end(elf); }
};

// libelf must be told the version its caller was written for before any use.
bool libelfReady() {
  static const bool ready = elf_version(EV_CURRENT) != EV_NONE;
  return ready;
}

ElfImage refused(ElfRefusal why, std::vector<ElfSegment> leftOut = {}) {
  ElfImage out;
  out.refusal = why;
  out.leftOut = std::move(leftOut);
  return out;
}

// The refusals the identification bytes alone decide, before libelf reads
// anything: libelf would convert a big-endian file rather than refuse it.
ElfRefusal identificationRefusal(std::span<const uint8_t> file) {
  if (file.size() < EI_NIDENT || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0) return ElfRefusal::NotElf;
  if (file[EI_CLASS] == ELFCLASS64) return ElfRefusal::Not32Bit;
  if (file[EI_CLASS] != ELFCLASS32) return ElfRefusal::NotElf;
  if (file[EI_DATA] == ELFDATA2MSB) return ElfRefusal::NotLittleEndian;
  if (file[EI_DATA] != ELFDATA2LSB) return ElfRefusal::NotElf;
  return ElfRefusal::None;
}

}  // namespace

ElfImage parseElfImage(std::span<const uint8_t> file, uint64_t flashLimit, uint64_t capacity) {
  if (const ElfRefusal why = identificationRefusal(file); why != ElfRefusal::None) return refused(why);
  if (file.size() < sizeof(Elf32_Ehdr)) return refused(ElfRefusal::Damaged);
  if (!libelfReady()) return refused(ElfRefusal::NotElf);
  // libelf takes a writable buffer; it gets a copy so the caller's stays const.
  std::vector<char> copy(file.begin(), file.end());
  const std::unique_ptr<Elf, ElfEnd> elf(elf_memory(copy.data(), copy.size()));
  if (!elf || elf_kind(elf.get()) != ELF_K_ELF) return refused(ElfRefusal::NotElf);
  const Elf32_Ehdr* header = elf32_getehdr(elf.get());
  if (!header) return refused(ElfRefusal::Damaged);
  if (header->e_machine != EM_ARM) return refused(ElfRefusal::NotArm);
  if (header->e_type != ET_EXEC) return refused(ElfRefusal::NotExecutable);

  // The header's own count; only a count too large for it lives elsewhere
  // (libelf's answer alone is no check: it cuts the count to what fits).
  std::size_t count = header->e_phnum;
  if (count == PN_XNUM && elf_getphdrnum(elf.get(), &count) != 0) return refused(ElfRefusal::Damaged);
  // The table must be whole and made of 32-bit entries.
  const uint64_t tableEnd = uint64_t{header->e_phoff} + uint64_t{count} * sizeof(Elf32_Phdr);
  if (count > 0 && (header->e_phentsize != sizeof(Elf32_Phdr) || tableEnd > file.size()))
    return refused(ElfRefusal::Damaged);

  ElfImage out;
  for (std::size_t i = 0; i < count; ++i) {
    // Copied out by libelf: the table may lie at any offset, aligned or not.
    GElf_Phdr segment{};
    if (!gelf_getphdr(elf.get(), static_cast<int>(i), &segment)) return refused(ElfRefusal::Damaged);
    if (segment.p_type != PT_LOAD || segment.p_filesz == 0) continue;
    if (segment.p_offset + segment.p_filesz > file.size()) return refused(ElfRefusal::Damaged);
    const auto loadAddress = static_cast<uint32_t>(segment.p_paddr);
    const auto size = static_cast<uint32_t>(segment.p_filesz);
    const uint64_t at = codeOffsetOf(loadAddress);
    if (at >= flashLimit) {
      out.leftOut.push_back({loadAddress, size});
      continue;
    }
    placeBytes(out.image, at, file.data() + segment.p_offset, size, capacity);
  }
  if (out.image.length == 0) return refused(ElfRefusal::NoLoadableBytes, std::move(out.leftOut));
  finishImage(out.image, capacity);
  return out;
}

}  // namespace lw
