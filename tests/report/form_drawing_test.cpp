// The drawing layout shared by preview, picture and print, and the BMP
// form of the picture.
#include <gtest/gtest.h>

#include <algorithm>

#include "report/form_drawing.h"
#include "report/mono_bitmap.h"

namespace lw {
namespace {

constexpr CellSize kCell{7, 15};

TEST(FormDrawing, FrameLinesOfScreenAndPrint) {
  const auto screen = formFrameLines(FrameTarget::Screen, kCell);
  ASSERT_EQ(screen.size(), 3u + 9 + 1 + 2 + 1 + 2 + 1);
  // T = 13 * 15 + 7 = 202; c/4 = 1, c/2 = 3, b/3 = 5.
  EXPECT_EQ(screen[0], (FrameLine{139, 110, 351, 110}));  // To underline
  EXPECT_EQ(screen[1], (FrameLine{139, 136, 351, 136}));  // From
  EXPECT_EQ(screen[2], (FrameLine{139, 166, 351, 166}));  // Part No
  EXPECT_EQ(screen[3], (FrameLine{88, 202, 626, 202}));   // first box row
  EXPECT_EQ(screen[11], (FrameLine{88, 202 + 16 * 15, 626, 202 + 16 * 15}));
  EXPECT_EQ(screen[12], (FrameLine{88, 667, 626, 667}));  // bottom = T + 31 b
  EXPECT_EQ(screen[13], (FrameLine{88, 667, 88, 202}));   // sides, bottom up
  EXPECT_EQ(screen[14], (FrameLine{626, 667, 626, 202}));
  EXPECT_EQ(screen[15], (FrameLine{200, 202, 200, 442}));  // label column
  EXPECT_EQ(screen[16], (FrameLine{354, 322, 354, 412}));  // size column
  EXPECT_EQ(screen[17], (FrameLine{473, 322, 473, 412}));  // checksum column
  EXPECT_EQ(screen[18], (FrameLine{354, 547, 354, 637}));  // option column

  const auto print = formFrameLines(FrameTarget::Print, kCell);
  EXPECT_EQ(print[0], (FrameLine{174, 110, 386, 110}));
  EXPECT_EQ(print[1], (FrameLine{174, 136, 386, 136}));
  EXPECT_EQ(print[3], (FrameLine{116, 202, 647, 202}));
  EXPECT_EQ(print[15], (FrameLine{228, 202, 228, 442}));
  EXPECT_EQ(print[16], (FrameLine{382, 322, 382, 412}));
  EXPECT_EQ(print[17], (FrameLine{501, 322, 501, 412}));
  EXPECT_EQ(print[18], (FrameLine{382, 547, 382, 637}));
}

TEST(FormDrawing, LinesAreCentredWithTabStopsOfEightAndNothingElseChanged) {
  const auto placed = placeFormText(u"ab\r\n\tx&y\r\n" + std::u16string(120, u'w'), kCell, 700);
  ASSERT_EQ(placed.size(), 3u);
  EXPECT_EQ(placed[0].text, u"ab");
  EXPECT_EQ(placed[0].x, (700 - 14) / 2);
  EXPECT_EQ(placed[0].y, 0);
  EXPECT_EQ(placed[1].text, u"        x&y");  // the tab to column 8, the ampersand as it is
  EXPECT_EQ(placed[1].x, (700 - 11 * 7) / 2);
  EXPECT_EQ(placed[1].y, 15);
  EXPECT_EQ(placed[2].x, (700 - 840) / 2);  // wider than the page: starts left of it
  EXPECT_EQ(placed[2].y, 30);

  // A tab after three characters reaches column 8 as well.
  EXPECT_EQ(placeFormText(u"abc\td", kCell, 700)[0].text, u"abc     d");
}

TEST(MonoBitmap, HeaderPaletteAndBottomUpRows) {
  MonoBitmap bitmap(700, 1050);
  bitmap.setBlack(0, 0);      // top left
  bitmap.setBlack(699, 1049); // bottom right
  const std::vector<uint8_t> bmp = encodeMonoBmp(bitmap);
  auto u16 = [&](std::size_t at) { return bmp[at] | (bmp[at + 1] << 8); };
  auto u32 = [&](std::size_t at) { return static_cast<uint32_t>(u16(at) | (u16(at + 2) << 16)); };
  const uint32_t rowBytes = 88;  // 700 bits padded to 4 bytes
  ASSERT_EQ(bmp.size(), 62u + rowBytes * 1050);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(u32(2), bmp.size());
  EXPECT_EQ(u32(10), 62u);
  EXPECT_EQ(u32(18), 700u);
  EXPECT_EQ(u32(22), 1050u);
  EXPECT_EQ(u16(28), 1);  // bits per pixel
  EXPECT_EQ(u32(54), 0u);          // index 0 black
  EXPECT_EQ(u32(58), 0x00FFFFFFu); // index 1 white
  // The last row in the file is the top row: its first bit is black.
  const std::size_t top = 62 + rowBytes * 1049;
  EXPECT_EQ(bmp[top], 0x7F);
  EXPECT_EQ(bmp[62 + 87], 0xE0);  // bottom row: 696..698 white, 699 black, then padding
  EXPECT_EQ(bmp[62 + 86], 0xFF);
}

}  // namespace
}  // namespace lw
