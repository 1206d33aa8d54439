// Status texts, progress geometry and colours, and the part name search.
#include <gtest/gtest.h>

#include "core/ids/language_keys.h"
#include "resources/embedded_resources.h"
#include "resources/language.h"
#include "ui/main/part_name_search.h"
#include "ui/main/progress_bar.h"
#include "ui/main/status_texts.h"

namespace lw {
namespace {

TEST(StatusTexts, SizeChecksumAndFirmwareVersion) {
  // The size field in each language, from the shipped tables.
  auto sizeField = [](uint16_t language, uint32_t size) {
    const ResourceSource& res = embeddedResources();
    return sizeFieldText(languageText(res, language, textkey::kSizeFieldText).value_or(""),
                         languageText(res, language, textkey::kSizeWord).value_or(""), size);
  };
  EXPECT_EQ(sizeField(language::kEnglish, 4096), "Size = 4096 Bytes");
  EXPECT_EQ(sizeField(language::kSimplifiedChinese, 380), "大小 = 380 字节");
  EXPECT_EQ(checksumFieldText("Checksum", 0x1A2B), "Checksum = 0x1A2B");
  EXPECT_EQ(checksumFieldText("Checksum", 0x12), "Checksum = 0x0012");

  const uint8_t v15[] = {0x00, 0x11, 0x01, 0x05};
  const uint8_t v21a[] = {0x02, 0x1A};
  const uint8_t oneByte[] = {0x07};
  EXPECT_EQ(firmwareVersionText(v15), " FW = v1. 5");
  EXPECT_EQ(firmwareVersionText(v21a), " FW = v2.1A");
  EXPECT_EQ(firmwareVersionText({}), " FW = v0. 0");
  EXPECT_EQ(firmwareVersionText(oneByte), " FW = v0. 0");
  EXPECT_EQ(mainWindowTitle("Loomwrite_Programmer (v1.4.0.0)", " FW = v1. 5"),
            "Loomwrite_Programmer (v1.4.0.0) FW = v1. 5 ");
}

TEST(ProgressBar, GeometryTextAndColours) {
  const PaintRect field{0, 0, 377, 21};

  const ProgressPaint p40 = progressPaint(field, 40, "Completed");
  ASSERT_TRUE(p40.bar);
  EXPECT_EQ(p40.done, (PaintRect{1, 0, 151, 21}));  // 1 + 40 * 375 / 100
  EXPECT_EQ(p40.rest, (PaintRect{151, 0, 376, 21}));
  EXPECT_EQ(p40.doneFill, SystemColour::DesktopBackground);
  EXPECT_EQ(p40.restFill, SystemColour::ButtonFace);
  EXPECT_EQ(p40.text, "Completed ...40%");
  EXPECT_EQ(p40.textX, 147);
  EXPECT_EQ(p40.textY, 5);
  EXPECT_EQ(p40.doneTextColour, (PaintColour{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(p40.restTextColour, (PaintColour{0x0A, 0x34, 0x6A}));
  EXPECT_EQ(p40.fontFace, "Courier");
  EXPECT_EQ(p40.fontPixelHeight, 10);
  EXPECT_EQ(p40.fontWeight, 400);

  const ProgressPaint p0 = progressPaint(field, 0, "Completed");
  EXPECT_TRUE(p0.bar);
  EXPECT_EQ(p0.done.width(), 0);
  EXPECT_EQ(p0.rest, (PaintRect{1, 0, 376, 21}));
  EXPECT_EQ(p0.text, "Completed ...0%");

  const ProgressPaint p100 = progressPaint(field, 100, "Completed");
  EXPECT_EQ(p100.done, (PaintRect{1, 0, 376, 21}));
  EXPECT_EQ(p100.rest.width(), 0);

  const ProgressPaint over = progressPaint(field, 130, "Completed");
  EXPECT_EQ(over.done, p100.done);
  EXPECT_EQ(over.text, "Completed ...100%");

  const ProgressPaint gone = progressPaint(field, -1, "Completed");
  EXPECT_FALSE(gone.bar);
  EXPECT_TRUE(gone.text.empty());
  EXPECT_EQ(gone.rest, (PaintRect{1, 0, 376, 21}));

  // Odd sizes truncate toward zero.
  EXPECT_EQ(progressPaint(PaintRect{0, 0, 102, 10}, 33, "C").done.right, 1 + 33);
  EXPECT_EQ(progressPaint(PaintRect{0, 0, 12, 10}, 55, "C").done.right, 1 + 5);
}

TEST(PartNameSearch, PrefixThenParenthesisAlternatives) {
  const std::vector<std::string> larch = {"Larch-F8U6", "Larch-K8U6", "Larch-F8P6", "Larch-K8T6"};
  auto find = [](const std::vector<std::string>& list, const std::string& name) {
    return findPartByName(list, name, nullptr);
  };
  EXPECT_EQ(find(larch, "larch-f8"), 2);
  EXPECT_EQ(find(larch, "Larch-F8U6"), 0);
  EXPECT_EQ(find(larch, "Larch"), 1);
  EXPECT_EQ(find(larch, "Larch-X"), std::nullopt);
  EXPECT_EQ(find({"Only"}, "only"), 0);
  EXPECT_EQ(find({}, "x"), std::nullopt);

  const std::vector<std::string> alt = {"Elm-A10(20)B", "Elm-K(LONGER)Z"};
  EXPECT_EQ(find(alt, "Elm-A10B"), 0);    // group removed
  EXPECT_EQ(find(alt, "elm-a20b"), 0);    // group replaces the characters before it
  EXPECT_EQ(find(alt, "Elm-A1020B"), std::nullopt);
  EXPECT_EQ(find(alt, "LONGERZ"), 1);     // a group longer than its base replaces all of it

  std::vector<std::string> reported;
  const std::vector<std::string> broken = {"Fir-1(2", "Fir-3(4)"};
  EXPECT_EQ(findPartByName(broken, "Fir-4", [&](const std::string& e) { reported.push_back(e); }), 1);
  EXPECT_EQ(reported, std::vector<std::string>{"Fir-1(2"});
}

}  // namespace
}  // namespace lw
