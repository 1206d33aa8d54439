#include "image/srecord.h"

#include <gtest/gtest.h>

#include <random>

#include "core/text.h"
#include "tests/code_files/fake_host.h"
#include "tests/toolchain_files.h"

namespace lw::test {
namespace {

constexpr uint64_t k64K = 0x10000;

// One record line with a correct checksum.
std::string sRecord(char type, uint32_t address, std::size_t addressBytes, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(addressBytes + data.size() + 1)};
  for (std::size_t i = addressBytes; i-- > 0;) bytes.push_back(static_cast<uint8_t>(address >> (8 * i)));
  bytes.insert(bytes.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (uint8_t b : bytes) sum += b;
  bytes.push_back(static_cast<uint8_t>(~sum));
  std::string line = std::string("S") + type;
  for (uint8_t b : bytes) line += format("%02X", b);
  return line + "\n";
}

TEST(SRecord, DataRecordsOfEveryAddressSizeMapAsHexAddressesDo) {
  const std::string file = sRecord('0', 0, 2, {'h', 'd', 'r'}) + sRecord('1', 0x0000, 2, {1, 2}) +
                           sRecord('2', 0x000010, 3, {3}) + sRecord('3', 0x08000020, 4, {4}) +
                           sRecord('5', 3, 2, {}) + sRecord('9', 0, 2, {});
  const ParsedImage image = parseSRecord(file, k64K);
  std::vector<uint8_t> expected(0x21, 0xFF);
  expected[0] = 1, expected[1] = 2, expected[0x10] = 3, expected[0x20] = 4;
  EXPECT_EQ(image.bytes, expected);
  EXPECT_EQ(image.length, 0x21u);
  EXPECT_FALSE(image.dataLeftUnread);

  // Lower-case digits, CR LF, comments, blank lines and trailing blanks read alike.
  std::string relaxed = "# from a script\r\n\r\n" + toLowerAscii(file);
  for (std::size_t pos = 0; (pos = relaxed.find("\ns", pos)) != std::string::npos; ++pos) relaxed[pos + 1] = 'S';
  for (std::size_t pos = 0; (pos = relaxed.find('\n', pos)) != std::string::npos; pos += 4) relaxed.replace(pos, 1, " \t\r\n");
  const ParsedImage same = parseSRecord(relaxed, k64K);
  EXPECT_EQ(same.bytes, expected);
  EXPECT_FALSE(same.dataLeftUnread);

  // RAM addresses keep their own offset: counted in the length, not kept.
  const ParsedImage ram = parseSRecord(sRecord('3', 0x20000000, 4, {9, 9}), k64K);
  EXPECT_EQ(ram.length, 0x20000002u);
  EXPECT_EQ(ram.bytes, std::vector<uint8_t>(k64K, 0xFF));
}

TEST(SRecord, DamagedRecordsAndWrongCountsEndReadingAtTheirLine) {
  const std::string head = sRecord('0', 0, 2, {}) + sRecord('1', 0, 2, {0xAA, 0xBB});
  const std::string tail = sRecord('1', 0x10, 2, {0xCC}) + sRecord('9', 0, 2, {});
  std::string badSum = sRecord('1', 4, 2, {1});
  badSum[badSum.size() - 2] ^= 1;
  const std::string good = sRecord('1', 4, 2, {1, 2});
  std::string notADigit = good;
  notADigit[10] = 'G';
  for (const std::string& damaged : {badSum,
                                     good.substr(0, good.size() - 2) + "\n",   // odd digit count
                                     "S1" + good.substr(4),                    // count digits lost
                                     notADigit,
                                     sRecord('4', 4, 2, {1}),                  // reserved type
                                     std::string("S10200FD\n"),                // no room for its address
                                     sRecord('5', 7, 2, {})}) {                // one data record so far
    const ParsedImage image = parseSRecord(head + damaged + tail, k64K);
    EXPECT_EQ(image.bytes, (std::vector<uint8_t>{0xAA, 0xBB})) << damaged;
    EXPECT_TRUE(image.dataLeftUnread) << damaged;
    EXPECT_EQ(image.stopLine, 3u) << damaged;
  }
  // Data after an end record is reported at the end record; without any,
  // an end record simply ends the file.
  const ParsedImage early = parseSRecord(head + sRecord('8', 0, 3, {}) + tail, k64K);
  EXPECT_TRUE(early.dataLeftUnread);
  EXPECT_EQ(early.stopLine, 3u);
  EXPECT_FALSE(parseSRecord(head + tail + "S0030000FC\n", k64K).dataLeftUnread);
  EXPECT_EQ(parseSRecord(head + sRecord('5', 1, 2, {}), k64K).bytes, (std::vector<uint8_t>{0xAA, 0xBB}));
}

// srec_cat, an independent implementation, writes the files and turns them
// back into binary; the parser must read the same bytes from them.
TEST(SRecord, ReadsWhatSrecCatWritesInEveryAddressSize) {
  TempDir dir;
  std::mt19937 random(24);
  std::vector<uint8_t> bytes(3000);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  const std::string in = dir.write("in.bin", bytes);
  struct Variant {
    const char* name;
    const char* addressLength;
    const char* base;
    const char* blockSize;
  };
  for (const Variant& v : {Variant{"a.s19", "2", "0", "16"}, Variant{"a.s28", "3", "0x10000", "32"},
                           Variant{"a.s37", "4", "0x08000000", "250"}}) {
    const std::string file = dir.file(v.name);
    const std::string oracle = dir.file(std::string(v.name) + ".bin");
    std::string log;
    // A gap between 0x300 and 0x500, so erased bytes are checked too.
    ASSERT_TRUE(runTool({"srec_cat", in, "-binary", "-crop", "0", "0x300", "0x500", "0xBB8", "-offset", v.base, "-o",
                         file, std::string("-address-length=") + v.addressLength,
                         std::string("-obs=") + v.blockSize},
                        &log))
        << log;
    ASSERT_TRUE(runTool({"srec_cat", file, "-offset", std::string("-") + v.base, "-fill", "0xFF", "0", "0xBB8", "-o",
                         oracle, "-binary"},
                        &log))
        << log;
    const std::vector<uint8_t> text = fileBytes(file);
    const ParsedImage image = parseSRecord(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()),
                                           0x20000);
    const uint64_t offset = std::string(v.base) == "0x10000" ? 0x10000 : 0;
    ASSERT_EQ(image.length, offset + 0xBB8) << v.name;
    EXPECT_EQ(std::vector<uint8_t>(image.bytes.begin() + static_cast<std::ptrdiff_t>(offset), image.bytes.end()),
              fileBytes(oracle))
        << v.name;
    EXPECT_FALSE(image.dataLeftUnread) << v.name;
  }
}

}  // namespace
}  // namespace lw::test
