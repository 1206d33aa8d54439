#include <gtest/gtest.h>

#include "resources/embedded_resources.h"
#include "platform/memory/memory_main_dialog.h"
#include "ui/dialogs/area_dialog.h"
#include "ui/dialogs/kpj_dialog.h"

namespace lw::test {
namespace {

MemoryDialog areaDialogControls() {
  MemoryDialog d;
  declareAreaDialogControls(d);
  return d;
}

MemoryDialog kpjDialogControls() {
  MemoryDialog d;
  for (int id : {kpjdlg::kToField, kpjdlg::kFromField, kpjdlg::kPartNoField}) d.addControl(id, MemoryControlKind::Edit);
  for (int id : {kpjdlg::kPromptLabel, kpjdlg::kToLabel, kpjdlg::kFromLabel, kpjdlg::kPartNoLabel})
    d.addControl(id, MemoryControlKind::Static);
  d.addControl(kpjdlg::kOk, MemoryControlKind::Button);
  d.addControl(kpjdlg::kCancel, MemoryControlKind::Button);
  return d;
}

class AreaDialogTest : public ::testing::Test {
 protected:
  // The radio buttons check themselves before reporting the click.
  void choose(int radio) {
    dialog.setChecked(areadlg::kApRadio, radio == areadlg::kApRadio);
    dialog.setChecked(areadlg::kIapRadio, radio == areadlg::kIapRadio);
    logic.onCommand(dialog, radio);
  }
  MemoryDialog dialog = areaDialogControls();
  AreaDialog logic{embeddedResources(), 0, 0xEC00};
};

TEST_F(AreaDialogTest, OpensOnApWithTheProposedAddressAndClearBuffer) {
  logic.onInit(dialog);
  EXPECT_EQ(dialog.title(), "Select AP/IAP area");
  EXPECT_EQ(dialog.text(areadlg::kApRadio), "AP (Code)");
  EXPECT_EQ(dialog.text(areadlg::kIapRadio), "IAP (Data)");
  EXPECT_EQ(dialog.text(areadlg::kAddressLabel), "Address : 0x");
  EXPECT_EQ(dialog.text(areadlg::kAddressField), "EC00");
  EXPECT_TRUE(dialog.isChecked(areadlg::kApRadio));
  EXPECT_TRUE(dialog.isChecked(areadlg::kClearBuffer));
  EXPECT_EQ(dialog.text(areadlg::kClearBuffer), "Clear Buffer");
  EXPECT_FALSE(dialog.isEnabled(areadlg::kAddressField));

  logic.onCommand(dialog, areadlg::kOk);
  EXPECT_EQ(dialog.endResult, areadlg::kOk);
  EXPECT_EQ(logic.result().address, 0u);
  EXPECT_FALSE(logic.result().iapChosen);
  EXPECT_TRUE(logic.result().clearBuffer);

  AreaDialog zero(embeddedResources(), 0, 0);
  zero.onInit(dialog);
  EXPECT_EQ(dialog.text(areadlg::kAddressField), "0");
}

TEST_F(AreaDialogTest, IapTakesTheTypedHexAddress) {
  logic.onInit(dialog);
  choose(areadlg::kIapRadio);
  EXPECT_TRUE(dialog.isEnabled(areadlg::kAddressField));
  dialog.setText(areadlg::kAddressField, "1f000");
  dialog.setChecked(areadlg::kClearBuffer, false);
  logic.onCommand(dialog, areadlg::kClearBuffer);
  logic.onCommand(dialog, areadlg::kOk);
  EXPECT_EQ(logic.result().address, 0x1F000u);
  EXPECT_TRUE(logic.result().iapChosen);
  EXPECT_FALSE(logic.result().clearBuffer);

  // The field takes at most the eight digits of a 32-bit address.
  dialog.typeText(areadlg::kAddressField, "100000000");
  logic.onCommand(dialog, areadlg::kOk);
  EXPECT_EQ(logic.result().address, 0x10000000u);

  // An empty field reads as 0; going back to AP gives 0 whatever was typed.
  dialog.setText(areadlg::kAddressField, "");
  logic.onCommand(dialog, areadlg::kOk);
  EXPECT_EQ(logic.result().address, 0u);
  dialog.setText(areadlg::kAddressField, "8000");
  choose(areadlg::kApRadio);
  EXPECT_FALSE(dialog.isEnabled(areadlg::kAddressField));
  logic.onCommand(dialog, areadlg::kOk);
  EXPECT_EQ(logic.result().address, 0u);

  logic.onCommand(dialog, areadlg::kCancel);
  EXPECT_EQ(dialog.endResult, areadlg::kCancel);
}

TEST(KpjDialogLogic, StartsEmptyAndTakesTheThreeFieldsOnOk) {
  MemoryDialog dialog = kpjDialogControls();
  dialog.setText(kpjdlg::kToField, "stale");
  KpjDialog logic(embeddedResources(), 0);
  logic.onInit(dialog);
  EXPECT_EQ(dialog.text(kpjdlg::kToField), "");
  EXPECT_EQ(dialog.title(), "KPJ Dialog");
  EXPECT_EQ(dialog.text(kpjdlg::kPromptLabel),
            "Need to generate a \"KPJ Request Form\"?\nIf you don't need it, please press \"Cancel\"\n"
            "If you need it, please fill in the following information.");
  EXPECT_EQ(dialog.text(kpjdlg::kPartNoLabel), "Part No :");
  EXPECT_EQ(dialog.text(kpjdlg::kOk), "OK");
  dialog.setText(kpjdlg::kToField, "Plant 2");
  dialog.setText(kpjdlg::kFromField, "R&D");
  dialog.setText(kpjdlg::kPartNoField, "X-17");
  logic.onCommand(dialog, kpjdlg::kOk);
  EXPECT_EQ(dialog.endResult, kpjdlg::kOk);
  EXPECT_EQ(logic.result().to, "Plant 2");
  EXPECT_EQ(logic.result().from, "R&D");
  EXPECT_EQ(logic.result().partNo, "X-17");
  logic.onCommand(dialog, kpjdlg::kCancel);
  EXPECT_EQ(dialog.endResult, kpjdlg::kCancel);
}

}  // namespace
}  // namespace lw::test
