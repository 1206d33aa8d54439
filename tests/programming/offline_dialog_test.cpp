#include <gtest/gtest.h>

#include "core/codes.h"
#include "core/context/app_context.h"
#include "platform/memory/memory_main_dialog.h"
#include "platform/memory/recording_message_boxes.h"
#include "resources/embedded_resources.h"
#include "ui/dialogs/offline_dialog.h"
#include "ui/dialogs/serial_string.h"

namespace lw::test {
namespace {

using namespace offlinedlg;

class OfflineDialogTest : public ::testing::Test {
 protected:
  OfflineDialogTest() {
    app.resources = &embeddedResources();
    app.ports.messages = &boxes;
    app.state.applicationName = "loomwrite";
    declareOfflineDialogControls(dialog);
    settings.startAddress = 0xFFF0;  // as Update Programmer presets it for 64 KiB
  }
  void open() { logic.onInit(dialog); }
  void type(int id, const std::string& text) {
    dialog.setText(id, text);
    logic.onChange(dialog, id);
  }
  void click(int box) {
    dialog.setChecked(box, !dialog.isChecked(box));
    logic.onCommand(dialog, box);
  }
  std::string field12() const { return std::string(settings.serialString.begin(), settings.serialString.begin() + 12); }

  AppContext app;
  RecordingMessageBoxes boxes;
  MemoryDialog dialog;
  OfflineSettings settings;
  OfflineDialog logic{app, settings, 0xFFF0};
};

TEST_F(OfflineDialogTest, OpensWithTextsFieldsAndTheSerialControlsOff) {
  open();
  EXPECT_EQ(dialog.title(), "Set Max Counter & Serial Number");
  EXPECT_EQ(dialog.text(kMaxCounterLabel), "Max Counter");
  EXPECT_EQ(dialog.text(kSerialEnabled), "Enable SerialNumber");
  EXPECT_EQ(dialog.text(kAutoIncrement), "Auto Increment Number");
  EXPECT_EQ(dialog.text(kOk), "Ok");
  EXPECT_EQ(dialog.tooltip(kOk), "");  // the shipped text has no "|" part
  EXPECT_EQ(dialog.control(kSerialString)->textLimit, 12);
  EXPECT_EQ(dialog.control(kStartAddress)->textLimit, 8);
  EXPECT_EQ(dialog.control(kSerialValue)->textLimit, 8);
  EXPECT_EQ(dialog.text(kMaxCounter), "0");
  EXPECT_EQ(dialog.text(kStartAddress), "0000FFF0");
  EXPECT_EQ(dialog.text(kEndAddress), "0000FFFF");
  EXPECT_EQ(dialog.text(kSerialValue), "00000000");
  for (const int id : {kSerialString, kStartAddress, kEndAddress, kSerialValue, kAutoIncrement})
    EXPECT_FALSE(dialog.isEnabled(id)) << id;
  EXPECT_EQ(settings.flags, 0);
  EXPECT_TRUE(boxes.beeps.empty());
  EXPECT_TRUE(logic.corrections().empty());
}

TEST_F(OfflineDialogTest, MaxCounterIsClampedAndANonNumberIsRefused) {
  open();
  type(kMaxCounter, "70000");
  EXPECT_EQ(dialog.text(kMaxCounter), "65530");
  EXPECT_EQ(settings.maxCounter, 65530);
  EXPECT_EQ(boxes.beeps, std::vector<unsigned>{mb::kIconError});
  EXPECT_EQ(logic.corrections().size(), 1u);
  ASSERT_EQ(boxes.shown.size(), 1u) << "out of range: the prompt as well as the clamp";
  EXPECT_EQ(boxes.shown[0].text, "Please enter an integer between 0 and 65530.");

  type(kMaxCounter, "99999999999");  // past 32 bits: clamped as well, not wrapped
  EXPECT_EQ(settings.maxCounter, 65530);
  EXPECT_EQ(boxes.shown.size(), 2u);

  type(kMaxCounter, "12");
  type(kMaxCounter, "12x");
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[2].text, "Please enter an integer between 0 and 65530.");
  EXPECT_EQ(settings.maxCounter, 12);  // the last valid value stays
  logic.onCommand(dialog, kOk);
  EXPECT_FALSE(dialog.endResult);  // Ok refuses it too
  EXPECT_EQ(boxes.shown.size(), 4u);

  type(kMaxCounter, "");  // an empty field reads as 0
  EXPECT_EQ(settings.maxCounter, 0);
  logic.onCommand(dialog, kOk);
  EXPECT_EQ(dialog.endResult, kResultOk);
}

TEST_F(OfflineDialogTest, StartAddressIsClampedAlignedAndRefusedUnalignedAtOk) {
  open();
  type(kStartAddress, "0000FFF5");
  EXPECT_EQ(dialog.text(kStartAddress), "0000FFF0");
  EXPECT_EQ(dialog.text(kEndAddress), "0000FFFF");
  EXPECT_EQ(settings.startAddress, 0xFFF0u);
  EXPECT_EQ(boxes.beeps.size(), 1u);

  type(kStartAddress, "00001001");
  EXPECT_EQ(dialog.text(kStartAddress), "00001000");
  EXPECT_EQ(settings.startAddress, 0x1000u);
  EXPECT_EQ(boxes.beeps.size(), 2u);

  type(kStartAddress, "1001");  // still being typed: stored unchanged
  EXPECT_EQ(settings.startAddress, 0x1001u);
  EXPECT_EQ(dialog.text(kEndAddress), "00001010");
  EXPECT_EQ(boxes.beeps.size(), 2u);

  logic.onCommand(dialog, kOk);
  EXPECT_FALSE(dialog.endResult);
  EXPECT_EQ(dialog.text(kStartAddress), "00001000");
  EXPECT_EQ(settings.startAddress, 0x1000u);
  EXPECT_EQ(boxes.beeps.size(), 3u);
  logic.onCommand(dialog, kOk);
  EXPECT_EQ(dialog.endResult, kResultOk);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(OfflineDialogTest, SwitchesSetFlagsAndDisabledControlsKeepTheirValues) {
  open();
  click(kSerialEnabled);
  EXPECT_TRUE(dialog.isEnabled(kSerialValue));
  EXPECT_EQ(settings.flags, offlineflag::kSerialEnabled);
  click(kAutoIncrement);
  EXPECT_EQ(settings.flags, offlineflag::kSerialEnabled | offlineflag::kAutoIncrement);
  type(kSerialValue, "0000ABCD");
  type(kSerialString, "ABC");
  click(kSerialEnabled);
  EXPECT_FALSE(dialog.isEnabled(kSerialValue));
  EXPECT_FALSE(dialog.isEnabled(kAutoIncrement));
  EXPECT_EQ(settings.flags, offlineflag::kAutoIncrement);
  EXPECT_EQ(settings.serialValue, 0xABCDu);
  EXPECT_EQ(field12(), std::string("ABC\0        ", 12));
  click(kAutoIncrement);
  EXPECT_EQ(settings.flags, 0);
}

TEST_F(OfflineDialogTest, CancelAndEscapeEndWithoutAMessage) {
  open();
  logic.onCommand(dialog, kCancel);
  EXPECT_EQ(dialog.endResult, kResultCancel);
  dialog.endResult.reset();
  logic.onCommand(dialog, kEscape);
  EXPECT_EQ(dialog.endResult, kResultCancel);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(SerialString, CutBetweenCharactersWithinTwelveBytes) {
  const SerialStringBytes ascii = serialStringBytes("LINE-A");
  EXPECT_EQ(std::string(ascii.bytes.begin(), ascii.bytes.begin() + 7), std::string("LINE-A\0", 7));
  EXPECT_FALSE(ascii.cut);

  const SerialStringBytes longer = serialStringBytes("ABCDEFGHIJKLMNOP");
  EXPECT_EQ(longer.length, 12u);
  EXPECT_TRUE(longer.cut);
  EXPECT_EQ(longer.bytes[12], 0);

  const SerialStringBytes euro = serialStringBytes("\xE2\x82\xAC" "12");  // the euro sign is one code-page byte
  EXPECT_EQ(euro.length, 3u);
  EXPECT_EQ(euro.bytes[0], 0x80);
  EXPECT_FALSE(euro.replaced);

  const SerialStringBytes foreign = serialStringBytes("\xE6\x97\xA5" "A");  // not in the code page
  EXPECT_EQ(std::string(foreign.bytes.begin(), foreign.bytes.begin() + 2), "?A");
  EXPECT_TRUE(foreign.replaced);
}

TEST_F(OfflineDialogTest, ALongSerialStringIsCutWithABeep) {
  open();
  click(kSerialEnabled);
  type(kSerialString, "SERIAL-NUMBER-01");
  EXPECT_EQ(field12(), "SERIAL-NUMBE");
  EXPECT_EQ(settings.serialString[12], 0);
  EXPECT_EQ(boxes.beeps.size(), 1u);
  ASSERT_EQ(logic.corrections().size(), 1u);
  EXPECT_NE(logic.corrections()[0].find("cut"), std::string::npos);
}

}  // namespace
}  // namespace lw::test
