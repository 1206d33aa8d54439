#include "image/intel_hex.h"

#include <gtest/gtest.h>

#include "tests/code_files/hex_records.h"

namespace lw::test {
namespace {

constexpr uint64_t k64K = 0x10000;

std::vector<uint8_t> erased(std::size_t n) { return std::vector<uint8_t>(n, 0xFF); }

TEST(IntelHex, PlacesDataAtItsAddressesWithGapsErased) {
  const HexImage image = parseIntelHex(dataRecord(0x0000, {1, 2, 3, 4}) + dataRecord(0x0010, {5, 6}) + endOfFile(), k64K);
  std::vector<uint8_t> expected = erased(0x12);
  expected[0] = 1, expected[1] = 2, expected[2] = 3, expected[3] = 4, expected[0x10] = 5, expected[0x11] = 6;
  EXPECT_EQ(image.bytes, expected);
  EXPECT_EQ(image.length, 0x12u);
  EXPECT_TRUE(parseIntelHex(endOfFile(), k64K).bytes.empty());
}

TEST(IntelHex, LowerCaseCommentsBlankLinesAndLineEndsReadAlike) {
  const std::string upper = dataRecord(0x0100, {0xAB, 0xCD, 0xEF}) + dataRecord(0x0000, {0x9A}) + endOfFile();
  std::string lower = "# built by hand\r\n\r\n\n" + toLowerAscii(upper) + "trailing comment\n";
  // Runs of line ends, and blanks or a tab an editor left at a line's end.
  for (std::size_t pos = 0; (pos = lower.find('\n', pos)) != std::string::npos; pos += 5) lower.replace(pos, 1, " \t\r\r\n");
  const HexImage a = parseIntelHex(upper, k64K);
  const HexImage b = parseIntelHex(lower, k64K);
  EXPECT_EQ(a.bytes, b.bytes);
  EXPECT_FALSE(b.dataLeftUnread);
  EXPECT_EQ(a.length, 0x103u);
  EXPECT_EQ(a.bytes[0x100], 0xAB);
  EXPECT_EQ(a.bytes[0], 0x9A);
  // A lone ':' holds nothing and is skipped.
  EXPECT_EQ(parseIntelHex(":\n" + upper, k64K).bytes, a.bytes);
}

TEST(IntelHex, AddressRecordsSetTheBaseWith0x08CountingAsZero) {
  // :020000040800F2 puts 0x0800xxxx at offset 0.
  const HexImage flashBase = parseIntelHex(":020000040800F2\n" + dataRecord(0, {0x11, 0x22}) + endOfFile(), k64K);
  EXPECT_EQ(flashBase.bytes, (std::vector<uint8_t>{0x11, 0x22}));

  const HexImage linear = parseIntelHex(linearAddress(0x0001) + dataRecord(0x0002, {0x33}) + endOfFile(), 0x20000);
  EXPECT_EQ(linear.length, 0x10003u);
  EXPECT_EQ(linear.bytes[0x10002], 0x33);
  EXPECT_EQ(linear.bytes[0x10001], 0xFF);

  const HexImage segment =
      parseIntelHex(hexRecord(2, 0, {0x10, 0x00}) + dataRecord(0x0100, {0x44}) + endOfFile(), 0x20000);
  EXPECT_EQ(segment.length, 0x10101u);
  EXPECT_EQ(segment.bytes[0x10100], 0x44);

  // Address records with another byte count or a non-zero address are ignored.
  const HexImage ignored = parseIntelHex(hexRecord(4, 0, {0, 1, 0}) + hexRecord(4, 2, {0, 1}) +
                                             dataRecord(0x0000, {0x55}) + endOfFile(),
                                         0x20000);
  EXPECT_EQ(ignored.bytes, (std::vector<uint8_t>{0x55}));
}

TEST(IntelHex, OtherRecordTypesEndParsingAfterTheirRecord) {
  const std::string before = dataRecord(0x0000, {1, 2});
  const std::string after = dataRecord(0x0002, {3, 4});
  for (const uint8_t type : {0x01, 0x03, 0x05, 0x06}) {
    const HexImage image = parseIntelHex(before + hexRecord(type, 0, {0x08, 0x00, 0x01, 0x23}) + after, k64K);
    EXPECT_EQ(image.bytes, (std::vector<uint8_t>{1, 2})) << "type " << int(type);
    // The data record left behind is reported, with the line parsing ended on.
    EXPECT_TRUE(image.dataLeftUnread) << "type " << int(type);
    EXPECT_EQ(image.stopLine, 2u) << "type " << int(type);
  }
  // A start address followed only by the end record, or by records without
  // data, leaves nothing unread.
  const HexImage usual = parseIntelHex(before + hexRecord(5, 0, {0, 0, 1, 0x23}) + endOfFile() + dataRecord(8, {}) +
                                           "; trailer\n",
                                       k64K);
  EXPECT_EQ(usual.bytes, (std::vector<uint8_t>{1, 2}));
  EXPECT_FALSE(usual.dataLeftUnread);
}

TEST(IntelHex, BadOrMalformedRecordsEndParsingKeepingWhatCameBefore) {
  const std::string good = dataRecord(0x0000, {1, 2});
  const std::string after = dataRecord(0x0002, {3, 4}) + endOfFile();
  std::string badChecksum = dataRecord(0x0010, {9});
  badChecksum[badChecksum.size() - 2] = badChecksum[badChecksum.size() - 2] == '0' ? '1' : '0';
  const std::string oddDigits = ":0100200009D\n";
  const std::string tooLong = ":" + std::string(2 * 261, '0') + "\n";  // sums to 0, but 261 bytes
  const std::string shortOfItsCount = ":10003000C0\n";                   // says 16 data bytes, holds none
  const std::string tooShortForARecord = ":00\n";
  for (const std::string& bad : {badChecksum, oddDigits, tooLong, shortOfItsCount, tooShortForARecord}) {
    const HexImage image = parseIntelHex("; header\r\n" + good + bad + after, k64K);
    EXPECT_EQ(image.bytes, (std::vector<uint8_t>{1, 2})) << bad;
    EXPECT_EQ(image.length, 2u) << bad;
    // A damaged record is reported even as the last line.
    EXPECT_TRUE(image.dataLeftUnread) << bad;
    EXPECT_EQ(image.stopLine, 3u) << bad;
    EXPECT_TRUE(parseIntelHex(good + bad, k64K).dataLeftUnread) << bad;
  }
  // The longest record the format allows still reads.
  const HexImage longest = parseIntelHex(dataRecord(0, std::vector<uint8_t>(255, 0x5A)), k64K);
  EXPECT_EQ(longest.length, 255u);
  EXPECT_FALSE(longest.dataLeftUnread);
  // The text ends at its first NUL; data beyond it is reported.
  const HexImage cut = parseIntelHex(good + std::string(1, '\0') + after, k64K);
  EXPECT_EQ(cut.length, 2u);
  EXPECT_TRUE(cut.dataLeftUnread);
  EXPECT_FALSE(parseIntelHex(good + endOfFile() + std::string(1, '\0'), k64K).dataLeftUnread);
}

TEST(IntelHex, ByteOrderMarksAndUtf16TextReadLikePlainAscii) {
  // An editor's byte-order mark must not cost the first record (often the
  // vector table).
  const std::string plain = dataRecord(0x0000, {0x10, 0x20}) + dataRecord(0x0002, {0x30}) + endOfFile();
  const HexImage expected = parseIntelHex(plain, k64K);
  ASSERT_EQ(expected.bytes, (std::vector<uint8_t>{0x10, 0x20, 0x30}));
  EXPECT_EQ(parseIntelHex("\xEF\xBB\xBF" + plain, k64K).bytes, expected.bytes);
  std::string little = "\xFF\xFE", big = "\xFE\xFF";
  for (const char c : plain) {
    little += std::string{c, '\0'};
    big += std::string{'\0', c};
  }
  for (const std::string& utf16 : {little, big}) {
    const HexImage image = parseIntelHex(utf16, k64K);
    EXPECT_EQ(image.bytes, expected.bytes);
    EXPECT_FALSE(image.dataLeftUnread);
  }
}

TEST(IntelHex, KeepsNoMoreThanTheCapacityButReportsTheFullLength) {
  // Data just below 4 GiB: the length says how far the file reaches, the
  // image stays within the capacity.
  const HexImage far = parseIntelHex(dataRecord(0, {7}) + linearAddress(0xFFFF) +
                                         dataRecord(0xFFF0, std::vector<uint8_t>(16, 0xAA)) + endOfFile(),
                                     0x1000);
  EXPECT_EQ(far.length, 0x100000000ull);
  ASSERT_EQ(far.bytes.size(), 0x1000u);
  EXPECT_EQ(far.bytes[0], 7);
  EXPECT_EQ(far.bytes[0xFFF], 0xFF);

  // A record across the capacity keeps the bytes below it.
  const HexImage across = parseIntelHex(dataRecord(0x0FFE, {1, 2, 3, 4}), 0x1000);
  EXPECT_EQ(across.length, 0x1002u);
  ASSERT_EQ(across.bytes.size(), 0x1000u);
  EXPECT_EQ(across.bytes[0xFFE], 1);
  EXPECT_EQ(across.bytes[0xFFF], 2);

  // A record ending past 64 KiB above its base is kept whole.
  const HexImage wrapping = parseIntelHex(dataRecord(0xFFF8, std::vector<uint8_t>(16, 0x3C)), 0x20000);
  EXPECT_EQ(wrapping.length, 0x10008u);
  EXPECT_EQ(wrapping.bytes[0x10007], 0x3C);
}

}  // namespace
}  // namespace lw::test
