#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "core/codes.h"
#include "core/ids/language_keys.h"
#include "core/text.h"
#include "platform/memory/memory_dialog.h"
#include "resources/embedded_resources.h"
#include "resources/hex_entry.h"
#include "ui/dialogs/hex_control.h"
#include "resources/keyed_table.h"
#include "resources/language.h"
#include "table_builder.h"

namespace lw {
namespace {

using test::MapResources;
using test::TableBuilder;

TEST(KeyedTable, BinaryFormatIsKeyTextZeroEndedByFFFF) {
  MapResources res;
  res.add("DYNAMIC", 300, TableBuilder().entry(7, "ab").end().bytes);
  const std::vector<uint8_t> bytes = TableBuilder().entry(7, "ab").end().bytes;
  const std::vector<uint8_t> expected = {7, 0, 'a', 0, 'b', 0, 0, 0, 0xFF, 0xFF};
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(textByKey(res, 300, 7), "ab");
}

TEST(KeyedTable, LookupEdgeCases) {
  MapResources res;
  // Key 5 appears twice (first wins); key 9 stands after the end marker.
  res.add("DYNAMIC", 300,
          TableBuilder().entry(5, "first").entry(1, "").entry(5, "second").end().entry(9, "hidden").end().bytes);
  EXPECT_EQ(textByKey(res, 300, 5), "first");
  EXPECT_EQ(textByKey(res, 300, 1), "");
  EXPECT_FALSE(textByKey(res, 300, 9)) << "a key after 0xFFFF is never found";
  EXPECT_FALSE(textByKey(res, 300, 2)) << "missing key";
  EXPECT_FALSE(textByKey(res, 301, 5)) << "missing table";
  EXPECT_FALSE(textByKey(res, 300, 0xFFFF)) << "the end marker has no text";
  EXPECT_EQ(textByKey(res, 0x10000 + 300, 5), "first") << "only the low 16 bits select the table";
  EXPECT_EQ(numberByKey(res, 300, 2), 0u);
  EXPECT_EQ(numberByKey(res, 301, 5), 0u);

  // A table cut short (no end marker, text unterminated) is read safely.
  res.add("DYNAMIC", 302, TableBuilder().entry(1, "x").unit(2).unit('y').bytes);
  EXPECT_EQ(textByKey(res, 302, 1), "x");
  EXPECT_EQ(textByKey(res, 302, 2), "y");
  EXPECT_FALSE(textByKey(res, 302, 3));
  res.add("DYNAMIC", 303, {});
  EXPECT_FALSE(textByKey(res, 303, 0));
}

TEST(KeyedTable, NumbersUseAutomaticBase) {
  EXPECT_EQ(parseNumberAuto("0x10000"), 0x10000u);
  EXPECT_EQ(parseNumberAuto("0XfF"), 0xFFu);
  EXPECT_EQ(parseNumberAuto("010"), 8u);
  EXPECT_EQ(parseNumberAuto("  42abc"), 42u);
  EXPECT_EQ(parseNumberAuto("0x0xEC00"), 0u);
  EXPECT_EQ(parseNumberAuto("abc"), 0u);
  EXPECT_EQ(parseNumberAuto(""), 0u);
  EXPECT_EQ(parseNumberAuto("0xFFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(parseNumberAuto("0x123456789"), 0xFFFFFFFFu) << "out of range saturates";
  EXPECT_EQ(parseNumberAuto("-1"), 0xFFFFFFFFu);
  EXPECT_EQ(parseNumberAuto("8|0xFF80"), 8u);
}

TEST(KeyedTable, ShippedLanguageTablesHoldTheSameKeysInTheSameOrder) {
  const ResourceSource& res = embeddedResources();
  auto keysOf = [&](uint32_t table) {
    std::vector<uint16_t> keys;
    const auto bytes = res.find("DYNAMIC", table);
    std::size_t pos = 0;
    for (;;) {
      const uint16_t key = static_cast<uint16_t>(bytes[pos] | (bytes[pos + 1] << 8));
      if (key == 0xFFFF) break;
      keys.push_back(key);
      pos += 2;
      while (bytes[pos] | bytes[pos + 1]) pos += 2;
      pos += 2;
    }
    return keys;
  };
  const auto english = keysOf(256);
  EXPECT_EQ(english.size(), 226u);
  EXPECT_EQ(english, keysOf(257));
  EXPECT_EQ(languageText(res, 0, 0), "English");
  EXPECT_EQ(languageText(res, 1, 0), "简体中文");
  EXPECT_EQ(languageText(res, 0, 1131),
            "Unmatched firmware version on the Tether. Press <OK> to update or <Cancel> to quit .");
  EXPECT_EQ(languageText(res, 0, 2007), "This version of dll is not correspond to the application !");
  // Every Chinese text is a translation, not the English text again, apart
  // from names and register labels that read the same in both.
  int same = 0;
  for (uint16_t key : english) {
    if (languageText(res, 0, key) == languageText(res, 1, key)) ++same;
  }
  EXPECT_LE(same, 6);
  // The system error box's texts are the command line's English ones; a
  // code without a text of its own reads "Unknown error.".
  std::vector<uint32_t> codes(1300);
  std::iota(codes.begin(), codes.end(), 0u);
  for (uint32_t code = 12000; code < 12100; ++code) codes.push_back(code);
  for (const uint32_t code : codes) {
    const uint16_t key = systemErrorTextKey(code);
    ASSERT_GE(key, textkey::kFirstSystemErrorText);
    ASSERT_LT(key, textkey::kFirstSystemErrorText + textkey::kSystemErrorTextCount);
    ASSERT_EQ(languageText(res, 0, key), systemErrorText(code)) << code;
  }
  EXPECT_EQ(languageText(res, 1, systemErrorTextKey(err::kFileNotFound)), "系统找不到指定的文件。");
  EXPECT_EQ(languageText(res, 1, systemErrorTextKey(77777)), "未知错误。");
}

TEST(KeyedTable, CaptionAndTooltipParts) {
  EXPECT_EQ(captionPart("Load|Loads a file"), "Load");
  EXPECT_EQ(tooltipPart("Load|Loads a file"), "Loads a file");
  EXPECT_EQ(captionPart("Exit"), "Exit");
  EXPECT_EQ(tooltipPart("Exit"), "");
}

// A translation may name the places in another order; a value is never read
// as a place, and a place without a value stays.
TEST(KeyedTable, TextsWithNumberedPlaces) {
  EXPECT_EQ(fillIn("文件 %2 第 %1 行", {"12", "/a b/x.hex"}), "文件 /a b/x.hex 第 12 行");
  EXPECT_EQ(fillIn("Line %1 of %2", {"%2", "f%1"}), "Line %2 of f%1");
  EXPECT_EQ(fillIn("100% of %1, %3", {"x"}), "100% of x, %3");
  EXPECT_EQ(fillIn(languageText(embeddedResources(), 1, textkey::kLineOfFile).value_or(""), {"5", "p"}), "文件 p 第 5 行");
}

TEST(HexEntry, ReadWriteAndFilter) {
  EXPECT_EQ(hexFormat(0x1F, 5), "0001F");
  EXPECT_EQ(hexFormat(0x1F, 0), "1F");
  EXPECT_EQ(hexFormat(0x123456, 4), "123456");
  EXPECT_EQ(hexRead("1f000"), 0x1F000u);
  EXPECT_EQ(hexRead("EC00zz"), 0xEC00u);
  EXPECT_EQ(hexRead(""), 0u);
  EXPECT_EQ(hexRead("xyz"), 0u);
  EXPECT_EQ(hexRead(" 0xFFFFFFFF"), 0xFFFFFFFFu);
  // Past 32 bits the value stays at the top instead of wrapping to 0.
  EXPECT_EQ(hexRead("100000000"), 0xFFFFFFFFu);
  EXPECT_EQ(hexRead("123456789ABCDEF0"), 0xFFFFFFFFu);
  for (char32_t c : std::u32string_view(U"0123456789abcdefABCDEF\b\f")) EXPECT_TRUE(hexEntryAccepts(c));
  for (char32_t c : std::u32string_view(U"g-x G.\0", 7)) EXPECT_FALSE(hexEntryAccepts(c));

  MemoryDialog dialog;
  dialog.addControl(1106, MemoryControlKind::Edit);
  writeHexControl(dialog, 1106, 0x1234, 5);
  EXPECT_EQ(dialog.text(1106), "01234");
  EXPECT_EQ(readHexControl(dialog, 1106), 0x1234u);
}

}  // namespace
}  // namespace lw
