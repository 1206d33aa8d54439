#include "image/elf_image.h"

#include <gtest/gtest.h>

#include <elf.h>

#include <cstring>

namespace lw::test {
namespace {

constexpr uint64_t k64K = 0x10000;

struct Segment {
  uint32_t loadAddress;
  std::vector<uint8_t> bytes;
  uint32_t zeroFill = 0;  // memory size beyond the file bytes (.bss)
  uint32_t type = PT_LOAD;
};

// A little-endian 32-bit ARM executable holding the segments, program
// headers right after the ELF header, segment bytes after the table.
std::vector<uint8_t> elfFile(const std::vector<Segment>& segments) {
  Elf32_Ehdr header{};
  std::memcpy(header.e_ident, ELFMAG, SELFMAG);
  header.e_ident[EI_CLASS] = ELFCLASS32;
  header.e_ident[EI_DATA] = ELFDATA2LSB;
  header.e_ident[EI_VERSION] = EV_CURRENT;
  header.e_type = ET_EXEC;
  header.e_machine = EM_ARM;
  header.e_version = EV_CURRENT;
  header.e_phoff = sizeof(Elf32_Ehdr);
  header.e_ehsize = sizeof(Elf32_Ehdr);
  header.e_phentsize = sizeof(Elf32_Phdr);
  header.e_phnum = static_cast<uint16_t>(segments.size());
  std::vector<uint8_t> file(sizeof header + segments.size() * sizeof(Elf32_Phdr));
  std::memcpy(file.data(), &header, sizeof header);
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const Segment& s = segments[i];
    Elf32_Phdr ph{};
    ph.p_type = s.type;
    ph.p_offset = static_cast<uint32_t>(file.size());
    ph.p_vaddr = 0x20000000;  // a RAM address everywhere: only the load address may count
    ph.p_paddr = s.loadAddress;
    ph.p_filesz = static_cast<uint32_t>(s.bytes.size());
    ph.p_memsz = ph.p_filesz + s.zeroFill;
    std::memcpy(file.data() + sizeof header + i * sizeof ph, &ph, sizeof ph);
    file.insert(file.end(), s.bytes.begin(), s.bytes.end());
  }
  return file;
}

template <typename Field>
void setField(std::vector<uint8_t>& file, std::size_t offset, Field value) {
  std::memcpy(file.data() + offset, &value, sizeof value);
}

TEST(ElfImage, FileBytesOfLoadSegmentsGoToTheirLoadAddresses) {
  const std::vector<uint8_t> file = elfFile({
      {0x08000000, {1, 2, 3, 4}},
      {0x08000010, {5, 6}, 16},              // .data's flash copy; its .bss fill is not flash content
      {0x08000100, {0xEE}, 0, PT_NOTE},       // not loadable
      {0x20000100, {7, 7, 7}},                // RAM code without a flash copy
      {0x20000200, {}, 64},                   // .bss alone: nothing to name
  });
  const ElfImage elf = parseElfImage(file, k64K, k64K);
  ASSERT_EQ(elf.refusal, ElfRefusal::None);
  std::vector<uint8_t> expected(0x12, 0xFF);
  expected[0] = 1, expected[1] = 2, expected[2] = 3, expected[3] = 4, expected[0x10] = 5, expected[0x11] = 6;
  EXPECT_EQ(elf.image.bytes, expected);
  EXPECT_EQ(elf.image.length, 0x12u);
  ASSERT_EQ(elf.leftOut.size(), 1u);
  EXPECT_EQ(elf.leftOut[0].loadAddress, 0x20000100u);
  EXPECT_EQ(elf.leftOut[0].size, 3u);

  // Low addresses land at their own offset; a smaller capacity cuts the
  // image but keeps its length; the flash limit decides what is left out.
  const ElfImage low = parseElfImage(elfFile({{0x100, {8, 9}}, {0x800, {1}}}), 0x800, 0x101);
  EXPECT_EQ(low.image.length, 0x102u);
  EXPECT_EQ(low.image.bytes.size(), 0x101u);
  EXPECT_EQ(low.image.bytes[0x100], 8);
  ASSERT_EQ(low.leftOut.size(), 1u);
  EXPECT_EQ(low.leftOut[0].loadAddress, 0x800u);
}

TEST(ElfImage, RefusesWhatIsNoArmExecutableOrDoesNotHoldItsSegments) {
  const std::vector<uint8_t> good = elfFile({{0x08000000, {1, 2, 3, 4}}});
  ASSERT_EQ(parseElfImage(good, k64K, k64K).refusal, ElfRefusal::None);
  auto refusalOf = [](std::vector<uint8_t> file) { return parseElfImage(file, k64K, k64K).refusal; };
  auto changed = [&](auto change) {
    std::vector<uint8_t> file = good;
    change(file);
    return refusalOf(file);
  };
  EXPECT_EQ(refusalOf({'h', 'e', 'l', 'l', 'o'}), ElfRefusal::NotElf);
  EXPECT_EQ(refusalOf({}), ElfRefusal::NotElf);
  EXPECT_EQ(changed([](auto& f) { f[EI_CLASS] = ELFCLASS64; }), ElfRefusal::Not32Bit);
  EXPECT_EQ(changed([](auto& f) { f[EI_DATA] = ELFDATA2MSB; }), ElfRefusal::NotLittleEndian);
  EXPECT_EQ(changed([](auto& f) { setField<uint16_t>(f, offsetof(Elf32_Ehdr, e_machine), EM_386); }),
            ElfRefusal::NotArm);
  EXPECT_EQ(changed([](auto& f) { setField<uint16_t>(f, offsetof(Elf32_Ehdr, e_type), ET_REL); }),
            ElfRefusal::NotExecutable);
  // Cut inside the header, inside the program headers, inside the segment.
  for (std::size_t size : {std::size_t{40}, sizeof(Elf32_Ehdr) + 10, good.size() - 1}) {
    EXPECT_EQ(refusalOf(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size))),
              ElfRefusal::Damaged)
        << size;
  }
  EXPECT_EQ(changed([](auto& f) { setField<uint16_t>(f, offsetof(Elf32_Ehdr, e_phentsize), 40); }),
            ElfRefusal::Damaged);
  EXPECT_EQ(changed([](auto& f) { setField<uint32_t>(f, offsetof(Elf32_Ehdr, e_phoff), 0xFFFFFFF0); }),
            ElfRefusal::Damaged);
  EXPECT_EQ(changed([](auto& f) { setField<uint16_t>(f, offsetof(Elf32_Ehdr, e_phnum), PN_XNUM); }),
            ElfRefusal::Damaged);
  EXPECT_EQ(changed([](auto& f) {
              setField<uint32_t>(f, sizeof(Elf32_Ehdr) + offsetof(Elf32_Phdr, p_offset), 0xFFFFFFFE);
            }),
            ElfRefusal::Damaged);

  EXPECT_EQ(refusalOf(elfFile({})), ElfRefusal::NoLoadableBytes);
  EXPECT_EQ(refusalOf(elfFile({{0x20000000, {}, 16}})), ElfRefusal::NoLoadableBytes);
  // Only RAM content: refused, and the segments still named.
  const ElfImage ram = parseElfImage(elfFile({{0x20000000, {1, 2}}}), k64K, k64K);
  EXPECT_EQ(ram.refusal, ElfRefusal::NoLoadableBytes);
  ASSERT_EQ(ram.leftOut.size(), 1u);
  EXPECT_TRUE(ram.image.bytes.empty());
}

}  // namespace
}  // namespace lw::test
