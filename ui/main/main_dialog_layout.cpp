#include "ui/main/main_dialog_layout.h"

#include <array>

#include "core/ids/main_dialog_ids.h"

namespace lw {

namespace {

using K = ControlKind;
using namespace mainid;

constexpr ControlLayout optionBox(int k) {
  const bool left = k < 6;
  const int row = left ? k : k - 6;
  return {.id = kFirstOptionBox + k, .kind = K::CheckBox, .caption = "",
          .x = left ? 235 : 312, .y = 101 + 8 * row, .width = left ? 66 : 56, .height = 8};
}

constexpr std::array kLayout = {
    ControlLayout{.id = kNone, .kind = K::Picture, .caption = "", .x = 0, .y = 0, .width = 433, .height = 29},
    ControlLayout{.id = kProgrammerTypeGroup, .kind = K::GroupBox, .caption = "Programmer Type",
                  .x = 6, .y = 30, .width = 101, .height = 26},
    ControlLayout{.id = kSeries, .kind = K::ComboEdit, .caption = "", .x = 12, .y = 40, .width = 91, .height = 80,
                  .sorted = true},
    ControlLayout{.id = kPartGroup, .kind = K::GroupBox, .caption = "MCU Part No",
                  .x = 111, .y = 30, .width = 118, .height = 26},
    ControlLayout{.id = kPart, .kind = K::ComboList, .caption = "", .x = 116, .y = 40, .width = 109, .height = 66},
    ControlLayout{.id = kProgrammingAreaGroup, .kind = K::GroupBox, .caption = "Programming Area",
                  .x = 6, .y = 59, .width = 223, .height = 26},
    ControlLayout{.id = kUserDefine, .kind = K::Radio, .caption = "User Define", .x = 16, .y = 70, .width = 51,
                  .height = 10, .enabled = false},
    ControlLayout{.id = kAddressLabel, .kind = K::Label, .caption = "Address : 0x", .x = 72, .y = 70, .width = 38,
                  .height = 10},
    ControlLayout{.id = kAddress, .kind = K::Edit, .caption = "", .x = 112, .y = 69, .width = 22, .height = 10,
                  .enabled = false, .upperCase = true, .readOnly = true},
    ControlLayout{.id = kWholeChip, .kind = K::Radio, .caption = "Whole-chip", .x = 161, .y = 69, .width = 51,
                  .height = 10, .checked = true},
    ControlLayout{.id = kOptionGroup, .kind = K::GroupBox, .caption = "H/W Option Setting",
                  .x = 6, .y = 86, .width = 364, .height = 68},
    ControlLayout{.id = kIspSizeGroup, .kind = K::GroupBox, .caption = "ISP_SIZE",
                  .x = 14, .y = 95, .width = 119, .height = 27},
    ControlLayout{.id = kIspSizeLabel, .kind = K::Label, .caption = "Set:", .x = 16, .y = 107, .width = 19,
                  .height = 10},
    ControlLayout{.id = kIspSize, .kind = K::ComboList, .caption = "", .x = 35, .y = 106, .width = 92, .height = 79,
                  .enabled = false},
    ControlLayout{.id = kIapSizeGroup, .kind = K::GroupBox, .caption = "IAP_SIZE",
                  .x = 14, .y = 124, .width = 119, .height = 26},
    ControlLayout{.id = kIapSizeLabel, .kind = K::Label, .caption = "Set:", .x = 19, .y = 136, .width = 15,
                  .height = 8},
    ControlLayout{.id = kIapSize, .kind = K::ComboList, .caption = "", .x = 34, .y = 134, .width = 38, .height = 68,
                  .enabled = false},
    ControlLayout{.id = kIapLowerBoundLabel, .kind = K::Label, .caption = "IAPLB:", .x = 74, .y = 136,
                  .width = 22, .height = 8},
    ControlLayout{.id = kIapLowerBound, .kind = K::Edit, .caption = "", .x = 97, .y = 134, .width = 31,
                  .height = 12, .enabled = false},
    ControlLayout{.id = kNone, .kind = K::GroupBox, .caption = "BOOT_MS", .x = 139, .y = 95, .width = 84,
                  .height = 27},
    ControlLayout{.id = kBootMode, .kind = K::ComboList, .caption = "", .x = 145, .y = 106, .width = 73,
                  .height = 41, .enabled = false},
    ControlLayout{.id = kNone, .kind = K::GroupBox, .caption = "IWDGCNT", .x = 139, .y = 124, .width = 84,
                  .height = 26},
    ControlLayout{.id = kNone, .kind = K::Label, .caption = "0x", .x = 146, .y = 136, .width = 8, .height = 8},
    ControlLayout{.id = kIwdgCounter, .kind = K::HexEntry, .caption = "", .x = 156, .y = 135, .width = 33,
                  .height = 12, .upperCase = true, .textLimit = 5},
    optionBox(0), optionBox(1), optionBox(2), optionBox(3), optionBox(4), optionBox(5),
    optionBox(6), optionBox(7), optionBox(8), optionBox(9), optionBox(10), optionBox(11),
    // Present but never shown, filled or read.
    ControlLayout{.id = kNone, .kind = K::Label, .caption = "IWDT_DIV", .x = 235, .y = 142, .width = 30,
                  .height = 8, .visible = false},
    ControlLayout{.id = kIwdtDivEnable, .kind = K::CheckBox, .caption = "", .x = 266, .y = 142, .width = 10,
                  .height = 8, .visible = false},
    ControlLayout{.id = kIwdtDiv, .kind = K::ComboList, .caption = "", .x = 278, .y = 140, .width = 40,
                  .height = 60, .visible = false},
    ControlLayout{.id = kNone, .kind = K::Label, .caption = "HWWIDL", .x = 320, .y = 142, .width = 30,
                  .height = 8, .visible = false},
    ControlLayout{.id = kLoadFile, .kind = K::PushButton, .caption = "Load File", .x = 232, .y = 30, .width = 58,
                  .height = 18},
    ControlLayout{.id = kSaveKpj, .kind = K::PushButton, .caption = "Save *.KPJ", .x = 232, .y = 50, .width = 58,
                  .height = 18},
    ControlLayout{.id = kExit, .kind = K::PushButton, .caption = "Exit", .x = 232, .y = 70, .width = 58,
                  .height = 17},
    ControlLayout{.id = kUpdateTarget, .kind = K::PushButton, .caption = "Update Target", .x = 293, .y = 30,
                  .width = 77, .height = 18},
    ControlLayout{.id = kUpdateProgrammer, .kind = K::PushButton, .caption = "Update Programmer", .x = 293,
                  .y = 49, .width = 77, .height = 18},
    ControlLayout{.id = kInsertIspCode, .kind = K::PushButton, .caption = "Insert ISP-Code", .x = 293, .y = 69,
                  .width = 77, .height = 18, .enabled = false},
    ControlLayout{.id = kCodeBufferGroup, .kind = K::GroupBox, .caption = "Binary Code Buffer",
                  .x = 6, .y = 156, .width = 364, .height = 131},
    ControlLayout{.id = kHexView, .kind = K::HexView, .caption = "", .x = 11, .y = 166, .width = 354,
                  .height = 117},
    ControlLayout{.id = kAutoReload, .kind = K::CheckBox, .caption = "Auto Reload Code", .x = 299, .y = 290,
                  .width = 69, .height = 8},
    ControlLayout{.id = kStatusLine, .kind = K::StatusField, .caption = "", .x = 0, .y = 300, .width = 232,
                  .height = 13},
    ControlLayout{.id = kSizeField, .kind = K::StatusField, .caption = "", .x = 233, .y = 300, .width = 68,
                  .height = 13},
    ControlLayout{.id = kChecksumField, .kind = K::StatusField, .caption = "", .x = 302, .y = 300, .width = 72,
                  .height = 13},
};

}  // namespace

std::span<const ControlLayout> mainDialogLayout() { return kLayout; }

const ControlLayout* findControlLayout(int id) {
  if (id == kNone) return nullptr;
  for (const ControlLayout& c : kLayout) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

}  // namespace lw
