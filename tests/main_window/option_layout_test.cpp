// Option layouts A and B through the dialog, with parts made for the test,
// and the guards of the layout functions.
#include <gtest/gtest.h>

#include "core/context/settings_keys.h"
#include "tests/main_window/test_support.h"
#include "core/ids/main_dialog_ids.h"
#include "ui/main/option_layouts.h"

namespace lw::test {
namespace {

using namespace mainid;

// Opens the dialog with one extra part of the listed series restored from
// "BodyID"; its option-bit records are given.
struct LayoutPart {
  explicit LayoutPart(uint16_t index, const std::vector<std::string>& records) {
    std::vector<std::pair<uint16_t, std::string>> keys = {
        {0, "Test-" + std::to_string(index)}, {1, "0x8000"}, {2, "128"}, {21, "6"}};
    for (std::size_t k = 0; k < records.size(); ++k) keys.emplace_back(256 + k, records[k]);
    res.addTable(4096 + index, keys);
    h = std::make_unique<MainDialogHarness>(&res);
    h->settings.writeInt(kSettingsSection, settings::kBodyId, index);
    h->open();
  }
  void set(int box, bool checked) {
    h->dialog.setChecked(kFirstOptionBox + box, checked);
    h->main->onCommand(kFirstOptionBox + box);
  }
  bool checked(int box) const { return h->dialog.isChecked(kFirstOptionBox + box); }
  uint8_t& at(std::size_t i) { return h->ctx.state.part.optionBytes[i]; }
  // Sets bytes behind the boxes' back, then shows them.
  void show() { h->main->showOptionBytes(); }

  TableResources res;
  std::unique_ptr<MainDialogHarness> h;
};

TEST(OptionLayoutA, ReadsAndShowsEachBoxKind) {
  LayoutPart p(36, {"0|0xFF|RDP|read protection", "17|0x0F|WDG|watchdog", "18|0x0F|BOR|brown-out",
                    "48|0xFF|WRP|write protection", "2|0x01|nRST|reset", "2|0x02|nBOOT|boot",
                    "2|0x04|VDDA|analog"});
  ASSERT_EQ(p.h->ctx.state.part.partIndex, 36);
  EXPECT_EQ(p.h->dialog.text(kFirstOptionBox + 6), "VDDA");
  EXPECT_FALSE(p.h->dialog.isEnabled(kFirstOptionBox + 7));

  p.set(0, true);
  EXPECT_EQ(p.at(16), 0x83);
  EXPECT_EQ(p.at(20), 0x7C);
  EXPECT_EQ(p.at(24), 0x00);
  EXPECT_EQ(p.at(25), 0xFF);
  for (std::size_t i : {0, 1, 32, 33}) EXPECT_EQ(p.at(i), 0x55) << i;
  p.set(0, false);
  EXPECT_EQ(p.at(16), 0x0C);
  EXPECT_EQ(p.at(20), 0xF3);
  EXPECT_EQ(p.at(24), 0xA5);
  EXPECT_EQ(p.at(25), 0x5A);
  for (std::size_t i : {0, 1, 32, 33}) EXPECT_EQ(p.at(i), 0x00) << i;

  p.set(1, true);
  p.set(2, false);
  EXPECT_EQ(p.at(17), 0x03);
  EXPECT_EQ(p.at(18), 0x0C);

  p.set(3, true);
  for (std::size_t i = 48; i <= 51; ++i) EXPECT_EQ(p.at(i), 0x00) << i;
  for (std::size_t i = 60; i <= 63; ++i) EXPECT_EQ(p.at(i), 0xFF) << i;

  p.at(2) = 0x00;
  p.set(5, false);
  p.set(4, true);
  p.set(6, true);
  EXPECT_EQ(p.at(2), 0x05);
  p.at(112) = 0x3C;
  p.set(5, false);
  EXPECT_EQ(p.at(124), 0xC3);  // the complement of byte 112 after every read

  // Show from bytes set elsewhere (a project, say).
  p.at(16) = 0x0C;
  p.at(0) = p.at(1) = p.at(32) = p.at(33) = 0;
  p.at(17) = 0x0C;
  p.at(18) = 0x03;
  p.at(48) = p.at(49) = p.at(50) = 0xFF;
  p.at(2) = 0x02;
  p.show();
  EXPECT_FALSE(p.checked(0));
  EXPECT_FALSE(p.checked(1));
  EXPECT_TRUE(p.checked(2));
  EXPECT_FALSE(p.checked(3));
  EXPECT_FALSE(p.checked(4));
  EXPECT_TRUE(p.checked(5));
  EXPECT_FALSE(p.checked(6));
  p.at(33) = 1;
  p.at(50) = 0x00;
  p.show();
  EXPECT_TRUE(p.checked(0));
  EXPECT_TRUE(p.checked(3));
}

TEST(OptionLayoutB, ReadsAndShowsEachBoxKind) {
  LayoutPart p(42, {"0|0xFF|RDP", "8|0xFF|WRP", "4|0x01|nRST", "4|0x02|nBOOT", "4|0x04|SRAM"});
  ASSERT_EQ(p.h->ctx.state.part.partIndex, 42);

  p.set(0, false);
  EXPECT_EQ(p.at(0), 0xA5);
  EXPECT_EQ(p.at(1), 0x5A);
  p.set(0, true);
  EXPECT_EQ(p.at(0), 0xFF);
  EXPECT_EQ(p.at(1), 0xFF);

  p.set(1, true);
  for (std::size_t i : {8, 10, 12, 14}) EXPECT_EQ(p.at(i), 0x00) << i;
  for (std::size_t i : {9, 11, 13, 15}) EXPECT_EQ(p.at(i), 0xFF) << i;

  p.at(4) = 0x00;
  p.set(2, true);   // sets its bit
  p.set(3, true);   // clears its bit
  p.set(4, false);  // sets its bit
  EXPECT_EQ(p.at(4), 0x05);
  p.at(2) = 0x5A;
  p.set(3, true);
  EXPECT_EQ(p.at(3), 0xA5);

  p.at(0) = 0x0F;
  p.at(1) = 0xF0;
  p.at(8) = p.at(10) = p.at(12) = 0xFF;
  p.at(4) = 0x02;
  p.show();
  EXPECT_FALSE(p.checked(0));
  EXPECT_FALSE(p.checked(1));
  EXPECT_FALSE(p.checked(2));
  EXPECT_FALSE(p.checked(3));
  EXPECT_TRUE(p.checked(4));
}

TEST(OptionLayoutB, DisabledBoxesKeepBufferAndState) {
  LayoutPart p(45, {"0|0xFF|RDP"});
  p.h->dialog.setChecked(kFirstOptionBox + 2, true);
  p.at(4) = 0x00;
  p.set(0, true);
  EXPECT_EQ(p.at(4), 0x00);
  p.show();
  EXPECT_TRUE(p.checked(2));
}

TEST(OptionLayouts, PartsWithoutLayoutAndOutOfRangeIndexes) {
  EXPECT_EQ(optionLayoutFor(43), OptionLayout::C);
  EXPECT_EQ(optionLayoutFor(37), OptionLayout::A);
  EXPECT_EQ(optionLayoutFor(45), OptionLayout::B);
  EXPECT_EQ(optionLayoutFor(40), OptionLayout::None);

  OptionBuffer bytes;
  bytes.fill(0xFF);
  OptionBoxStates boxes{};
  boxes[0] = {.enabled = true, .checked = true, .byteIndex = 300, .mask = 0x01};
  boxes[1] = {.enabled = true, .checked = true, .byteIndex = 259, .mask = 0x80};
  readOptionLayout(OptionLayout::C, boxes, bytes);
  EXPECT_EQ(bytes[259], 0x7F);
  for (std::size_t i = 0; i < 259; ++i) ASSERT_EQ(bytes[i], 0xFF) << i;
  showOptionLayout(OptionLayout::C, boxes, bytes);
  EXPECT_FALSE(boxes[0].checked);
  EXPECT_TRUE(boxes[1].checked);

  // A typed counter wider than 20 bits never reaches the upper options.
  setIwdgCounter(bytes, 0xABCDEF12);
  EXPECT_EQ(iwdgCounter(bytes), 0xDEF12u);
  EXPECT_EQ(bytes[7], 0xFF);
  EXPECT_EQ(bytes[6], 0xFD);
}

TEST(OptionLayouts, PartWithoutLayoutLeavesBufferAlone) {
  LayoutPart p(40, {"0|0x01|BIT0"});
  ASSERT_EQ(p.h->ctx.state.part.partIndex, 40);
  EXPECT_TRUE(p.h->dialog.isEnabled(kFirstOptionBox));
  p.set(0, true);
  EXPECT_EQ(p.at(0), 0xFF);
}

}  // namespace
}  // namespace lw::test
