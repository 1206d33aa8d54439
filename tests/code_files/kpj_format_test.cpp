#include "image/kpj_format.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/memory/manual_clock.h"
#include "tests/code_files/project_files.h"

namespace lw::test {
namespace {

std::vector<uint8_t> repeat(std::size_t n, uint8_t b) { return std::vector<uint8_t>(n, b); }

void append(std::vector<uint8_t>& out, const std::vector<uint8_t>& more) { out.insert(out.end(), more.begin(), more.end()); }

TEST(KpjFormat, WorkedExampleIsReproducedByteForByte) {
  ProjectRecord record = newProjectRecord(0x0100);
  record.codeFileName = "a.bin";
  PartRecord part;
  applyPart(embeddedResources(), 43, part);
  const std::vector<uint8_t> image{1, 2, 3, 4};
  const std::vector<uint8_t> tail = writeProjectRecord(record, part, 4, codeChecksum(image.data(), 4), exampleStamp());

  std::vector<uint8_t> expected{0x76, 0x61, 0x6E, 0x74, 0x72, 0x65, 0x6C, 0x2E,
                                0x20, 0x4B, 0x50, 0x4A, 0x20, 0x33, 0x2E, 0x30};  // magic
  append(expected, {0x05, 0x61, 0x2E, 0x62, 0x69, 0x6E});                       // N, name
  append(expected, {0x00, 0x00, 0x00, 0x04, 0x00, 0x0A});                       // code size, checksum
  append(expected, repeat(6, 0x00));                                            // reserved
  append(expected, {0x00, 0x2B, 0x00, 0xB0});                                   // Part index, reserved, n
  append(expected, repeat(128, 0xFF));                                          // option bytes, then 0xFF
  append(expected, repeat(32, 0x00));                                           // reserved block
  append(expected, {0x11, 0x22, 0x33, 0x44, 0x05});                             // random key, reserved C
  append(expected, repeat(11, 0xFF));                                           // rest of the block
  append(expected, {0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00});                 // A, B, reserved, m
  append(expected, {0x55, 0x66, 0x18, 0x05, 0x1C, 0x0A, 0x14, 0x1E});           // ATPG key, save time
  append(expected, {0x03, 0x02, 0x01, 0x00, 0x18, 0x95, 0xF5, 0x00, 0xEE});     // version ... L
  ASSERT_EQ(expected.size(), 238u);
  EXPECT_EQ(tail, expected);

  EXPECT_EQ(record.recordChecksum, 0x95F5);
  EXPECT_EQ(record.recordLength, 238);
  EXPECT_EQ(record.partIndex, 43);
  EXPECT_EQ(record.codeSize, 4u);
  EXPECT_EQ(record.codeChecksum, 0x000A);
  EXPECT_EQ(projectRecordLength(record), 238u);
}

TEST(KpjFormat, LengthCountsBothNamesAndTheYearByteWraps) {
  ProjectRecord record = newProjectRecord(0x0100);
  record.codeFileName = "abcdefghij";
  EXPECT_EQ(projectRecordLength(record), 243u);
  record.ispCodeName = "isp";
  EXPECT_EQ(projectRecordLength(record), 246u);

  PartRecord part;
  applyPart(embeddedResources(), 43, part);
  SaveStamp stamp = exampleStamp();
  stamp.time.year = 2260;
  const std::vector<uint8_t> tail = writeProjectRecord(record, part, 0, 0, stamp);
  EXPECT_EQ(tail[tail.size() - 15], 4);  // (2260 + 48) mod 256
  EXPECT_EQ(tail[tail.size() - 2], 0x00);
  EXPECT_EQ(tail[tail.size() - 1], 246);
}

TEST(KpjFormat, SaveStampComesFromTheClockAndTheSeededGenerator) {
  ManualClock clock;
  clock.setLocalTime({2024, 5, 28, 10, 20, 30});
  clock.setCalendarSeconds(1716891630);
  clock.advance(1234);
  const SaveStamp a = drawSaveStamp(clock);
  const SaveStamp b = drawSaveStamp(clock);
  EXPECT_EQ(a.time.year, 2024);
  EXPECT_EQ(a.time.second, 30);
  // Same calendar second and tick count: the same keys.
  EXPECT_EQ(a.atpgKey, b.atpgKey);
  EXPECT_EQ(a.randomKey, b.randomKey);
  clock.setCalendarSeconds(1716891631);
  EXPECT_NE(drawSaveStamp(clock).randomKey, a.randomKey);
}

TEST(KpjFormat, WrittenRecordsReadBack) {
  ProjectRecord written = newProjectRecord(0x0100);
  written.codeFileName = "fw.hex";
  written.ispCodeName = "boot";
  written.reservedA = 0x12;
  written.reservedB = 0x34;
  written.reservedC = 0x56;
  written.reservedBlock.fill(0x77);
  const std::vector<uint8_t> image{9, 8, 7};
  std::vector<uint8_t> file = projectFile(image, 58, written);
  // projectFile wrote a copy; redo the stamp on ours to compare.
  PartRecord part;
  applyPart(embeddedResources(), 58, part);
  writeProjectRecord(written, part, 3, codeChecksum(image.data(), 3), exampleStamp());

  const auto layout = checkProjectFile(file);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->start, 3u);
  ProjectRecord read = newProjectRecord(0x0100);
  readProjectTail(file, *layout, read);
  readProjectBody(file, *layout, read);
  EXPECT_EQ(read.codeFileName, "fw.hex");
  EXPECT_EQ(read.ispCodeName, "boot");
  EXPECT_EQ(read.partIndex, 58);
  EXPECT_EQ(read.codeSize, 3u);
  EXPECT_EQ(read.reservedA, 0x12);
  EXPECT_EQ(read.reservedB, 0x34);
  EXPECT_EQ(read.reservedC, 0x56);
  EXPECT_EQ(read.reservedBlock, written.reservedBlock);
  EXPECT_EQ(read.randomKey, 0x11223344u);
  EXPECT_EQ(read.atpgKey, 0x5566);
  EXPECT_EQ(read.saveTime, (std::array<uint8_t, 6>{24, 5, 28, 10, 20, 30}));
  // The whole block is read back; its first 128 bytes are the option area.
  EXPECT_TRUE(std::equal(written.optionBlock.begin(), written.optionBlock.begin() + 128, read.optionBlock.begin()));
  EXPECT_EQ(read.optionBlock[128], 0x77);
  EXPECT_EQ(read.optionBlock[164], 0x56);
  EXPECT_EQ(read.recordChecksum, written.recordChecksum);
  EXPECT_EQ(read.recordLength, written.recordLength);
  EXPECT_EQ(read.version, kProjectVersion);
  EXPECT_EQ(read.reservedWord, 0x0100);
}

TEST(KpjFormat, ChecksRefuseFilesWhoseLengthsOrSumsAreWrong) {
  // Named like the worked example, so the record offsets are the same.
  ProjectRecord named = newProjectRecord(0x0100);
  named.codeFileName = "a.bin";
  const std::vector<uint8_t> good = projectFile({1, 2, 3, 4}, 43, named);
  ASSERT_TRUE(checkProjectFile(good));
  const std::size_t r = recordStart(good);
  const auto refused = [](std::vector<uint8_t> f, bool reseal) {
    if (reseal) resealRecord(f);
    return !checkProjectFile(f).has_value();
  };
  auto patched = [&](std::size_t at, uint8_t value) {
    std::vector<uint8_t> f = good;
    f[at] = value;
    return f;
  };
  EXPECT_TRUE(refused(patched(0, 0x09), false));                     // image byte: code checksum
  EXPECT_TRUE(refused(patched(r + 40, 0x00), false));                // record byte: record checksum
  EXPECT_TRUE(refused(patched(good.size() - 5, 0x17), true));        // format code
  EXPECT_FALSE(refused(patched(good.size() - 5, 0x16), true));       // the older format code passes
  EXPECT_TRUE(refused(patched(good.size() - 2, 0x01), false));       // L beyond the file
  EXPECT_TRUE(refused(patched(r + 25, 0x05), true));                 // code size beyond the image
  EXPECT_TRUE(refused(patched(r + 16, 0xFF), true));                 // N runs past the record
  EXPECT_TRUE(refused(patched(r + 37, 164), true));                  // n too short for its fields
  EXPECT_TRUE(refused(patched(r + 37, 177), true));                  // n longer than the block area
  EXPECT_TRUE(refused(patched(r + 220, 0x10), true));                // m runs past the record
  EXPECT_TRUE(refused(std::vector<uint8_t>(good.end() - 56, good.end()), false));  // shorter than any record
  EXPECT_TRUE(refused({0x00, 0x02}, false));
  EXPECT_TRUE(refused({}, false));
  // A project without an image passes the checks.
  EXPECT_TRUE(checkProjectFile(projectFile({}, 43)));
}

TEST(KpjFormat, DamagedFilesNeverReadOutsideThemselves) {
  // Random damage to lengths and tail; whatever passes the checks must read
  // within the file (run under a sanitizer to see every access).
  ProjectRecord named = newProjectRecord(0x0100);
  named.codeFileName = "a.bin";
  const std::vector<uint8_t> good = projectFile(std::vector<uint8_t>(40, 0x5A), 43, named);
  std::mt19937 gen(12345);
  int passed = 0;
  for (int i = 0; i < 20000; ++i) {
    std::vector<uint8_t> f = good;
    const std::size_t r = recordStart(f);
    const std::size_t spots[] = {r + 16, r + 37, r + 220, f.size() - 2, f.size() - 1, r + 25};
    for (int k = 0; k < 2; ++k) f[spots[gen() % 6]] = static_cast<uint8_t>(gen());
    if (gen() % 4 == 0) f.resize(gen() % f.size());
    f.shrink_to_fit();  // a read past the end then leaves the allocation
    if (gen() % 2 && f.size() >= 4) resealRecord(f);
    if (const auto layout = checkProjectFile(f)) {
      ++passed;
      ASSERT_LE(layout->start + layout->length, f.size());
      ProjectRecord rec = newProjectRecord(0x0100);
      readProjectTail(f, *layout, rec);
      readProjectBody(f, *layout, rec);
      ASSERT_LE(rec.codeSize, layout->start);
    }
  }
  EXPECT_GT(passed, 0);
}

}  // namespace
}  // namespace lw::test
