// The loader and the image writers against files the toolchain writes and
// reads: the toggle example built at test time by binutils-arm-none-eabi and
// converted by objcopy and srec_cat.
#include <gtest/gtest.h>

#include <random>

#include "core/codes.h"
#include "image/code_loader.h"
#include "image/image_file_writer.h"
#include "image/intel_hex.h"
#include "image/srecord.h"
#include "tests/code_files/fake_host.h"
#include "tests/toolchain_files.h"

namespace lw::test {
namespace {

std::string_view textOf(const std::vector<uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(ToolchainImages, ElfSRecordHexAndBinaryOfOneBuildGiveTheSameCodeBuffer) {
  TempDir dir;
  ASSERT_EQ(buildToggleImages(dir.file("")), "");
  const std::vector<uint8_t> binary = fileBytes(dir.file("toggle.bin"));
  ASSERT_GT(binary.size(), 0xF0u);  // vectors and code, then .data's flash copy
  std::filesystem::copy_file(dir.file("toggle.elf"), dir.file("TOGGLE.AXF"));
  for (const char* name : {"toggle.elf", "TOGGLE.AXF", "toggle.srec", "toggle.s19", "toggle.hex", "toggle.bin"}) {
    FakeHost host;
    host.choosePart(43);
    ASSERT_EQ(loadCodeFile(host, dir.file(name), true), kLoaded) << name;
    EXPECT_EQ(host.view.content, binary) << name;
    EXPECT_TRUE(host.boxes.shown.empty()) << name;
    EXPECT_EQ(host.state.project.codeFileName, name);
  }
}

TEST(ToolchainImages, ElfRamSegmentsAreNamedAndLeftOutAndRefusalsComeBeforeTheAreaDialog) {
  TempDir dir;
  const std::string script = dir.write("ram_data.ld", std::string(kRamDataScript));
  ASSERT_EQ(buildToggleImages(dir.file(""), script), "");
  FakeHost host;
  host.choosePart(43);
  ASSERT_EQ(loadCodeFile(host, dir.file("toggle.elf"), true), kLoaded);
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].caption, "Warning !");
  EXPECT_EQ(host.boxes.shown[0].text,
            "Segments whose load address lies outside the flash were left out :\n0x20000000 (4 bytes)");
  EXPECT_EQ(host.boxes.shown[0].style & mb::kIconMask, mb::kIconWarning);
  ASSERT_EQ(host.view.content.size(), 0xF0u);  // vectors and code only
  EXPECT_EQ(host.view.content[3], 0x20);       // the initial stack pointer 0x20002000

  // A file that is no ELF changes nothing and asks for no area.
  const std::vector<uint8_t> before = host.view.content;
  host.boxes.shown.clear();
  host.proposedAddresses.clear();
  EXPECT_EQ(loadCodeFile(host, dir.write("notes.elf", std::string("not an image")), true), kNothingLoaded);
  EXPECT_TRUE(host.proposedAddresses.empty());
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].text, "This file is not an ELF file, it can't be loaded !");
  EXPECT_EQ(host.boxes.shown[0].caption, "Error !");
  EXPECT_EQ(host.view.content, before);
}

TEST(ToolchainImages, DamagedSRecordIsConfirmedAsADamagedHexFileIs) {
  TempDir dir;
  const std::string path = dir.write("cut.s19", std::string("S1050000AABB95\nS1050002CCDD00\nS1050004EEFF09\n"));
  FakeHost host;
  host.choosePart(43);
  host.boxes.answers = {kIdCancel};
  EXPECT_EQ(loadCodeFile(host, path, true), kLoadCancelled);
  EXPECT_TRUE(host.view.content.empty());
  ASSERT_EQ(host.boxes.shown.size(), 1u);
  EXPECT_EQ(host.boxes.shown[0].text.rfind("Reading the S-record file stopped before all of its data", 0), 0u);
  EXPECT_NE(host.boxes.shown[0].text.find("\n\nLine 2 of " + path), std::string::npos);
  EXPECT_EQ(host.boxes.beeps, std::vector<unsigned>{mb::kIconQuestion});
  host.boxes.answers = {kIdOk};
  EXPECT_EQ(loadCodeFile(host, path, true), kLoaded);
  EXPECT_EQ(host.view.content, (std::vector<uint8_t>{0xAA, 0xBB}));
}

// Written across a 64 KiB boundary, so the HEX file needs a second type 04
// record, and read back by objcopy, srec_cat and the program's own parsers.
TEST(ToolchainImages, WrittenFilesReadBackAsTheSameBytes) {
  TempDir dir;
  std::vector<uint8_t> image(0x10025);
  std::mt19937 random(7);
  for (uint8_t& b : image) b = static_cast<uint8_t>(random());
  std::fill(image.begin() + 0x100, image.begin() + 0x200, 0xFF);  // erased bytes are written too

  const std::string hex = dir.file("out.hex"), srec = dir.file("out.srec"), bin = dir.file("out.bin");
  dir.write("out.hex", std::string("an older file"));
  ASSERT_TRUE(writeImageFile(hex, image, ImageFileFormat::IntelHex).ok);
  ASSERT_TRUE(writeImageFile(srec, image, ImageFileFormat::SRecord).ok);
  ASSERT_TRUE(writeImageFile(bin, image, ImageFileFormat::Binary).ok);
  EXPECT_EQ(fileBytes(bin), image);
  const std::string text = std::string(textOf(fileBytes(hex)));
  EXPECT_EQ(text.substr(0, 16), ":020000040800F2\n");
  EXPECT_NE(text.find(":020000040801F1\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 12), ":00000001FF\n");

  std::string log;
  ASSERT_TRUE(runTool({"objcopy", "-I", "ihex", "-O", "binary", hex, dir.file("hex.bin")}, &log)) << log;
  ASSERT_TRUE(runTool({"objcopy", "-I", "srec", "-O", "binary", srec, dir.file("srec.bin")}, &log)) << log;
  // srec_cat checks the checksums and the S5 count as it reads.
  ASSERT_TRUE(runTool({"srec_cat", srec, "-offset", "-0x08000000", "-o", dir.file("srec_cat.bin"), "-binary"}, &log))
      << log;
  EXPECT_EQ(log.find("warning"), std::string::npos) << log;
  EXPECT_EQ(fileBytes(dir.file("hex.bin")), image);
  EXPECT_EQ(fileBytes(dir.file("srec.bin")), image);
  EXPECT_EQ(fileBytes(dir.file("srec_cat.bin")), image);

  const ParsedImage fromHex = parseIntelHex(textOf(fileBytes(hex)), 0x20000);
  const ParsedImage fromSRecord = parseSRecord(textOf(fileBytes(srec)), 0x20000);
  EXPECT_EQ(fromHex.bytes, image);
  EXPECT_EQ(fromSRecord.bytes, image);
  EXPECT_FALSE(fromSRecord.dataLeftUnread);
}

}  // namespace
}  // namespace lw::test
