#include "platform/memory/memory_main_dialog.h"

#include "ui/dialogs/area_dialog.h"
#include "core/ids/main_dialog_ids.h"
#include "core/ids/offline_dialog_ids.h"
#include "ui/main/main_dialog_layout.h"

namespace lw {

void declareMainDialogControls(MemoryDialog& dialog) {
  for (const ControlLayout& c : mainDialogLayout()) {
    if (c.id == mainid::kNone) continue;
    MemoryControlKind kind = MemoryControlKind::Static;
    switch (c.kind) {
      case ControlKind::CheckBox: kind = MemoryControlKind::CheckBox; break;
      case ControlKind::Radio: kind = MemoryControlKind::Radio; break;
      case ControlKind::PushButton: kind = MemoryControlKind::Button; break;
      case ControlKind::Edit:
      case ControlKind::HexEntry: kind = MemoryControlKind::Edit; break;
      case ControlKind::ComboEdit:
      case ControlKind::ComboList:
        kind = c.sorted ? MemoryControlKind::SortedCombo : MemoryControlKind::Combo;
        break;
      default: break;
    }
    MemoryControl& m = dialog.addControl(c.id, kind, c.caption);
    m.enabled = c.enabled;
    m.visible = c.visible;
    m.checked = c.checked;
    m.textLimit = c.textLimit;
  }
}

void declareAreaDialogControls(MemoryDialog& dialog) {
  dialog.addControl(areadlg::kApRadio, MemoryControlKind::Radio);
  dialog.addControl(areadlg::kIapRadio, MemoryControlKind::Radio);
  dialog.addControl(areadlg::kAddressLabel, MemoryControlKind::Static);
  dialog.addControl(areadlg::kAddressField, MemoryControlKind::Edit);
  dialog.addControl(areadlg::kClearBuffer, MemoryControlKind::CheckBox);
  dialog.addControl(areadlg::kOk, MemoryControlKind::Button);
  dialog.addControl(areadlg::kCancel, MemoryControlKind::Button);
}

void declareOfflineDialogControls(MemoryDialog& dialog) {
  using namespace offlinedlg;
  for (const int id : {kMaxCounterLabel, kStringLabel, kNumberLabel, kStartAddressLabel, kEndAddressLabel})
    dialog.addControl(id, MemoryControlKind::Static);
  for (const int id : {kMaxCounter, kSerialString, kSerialValue, kStartAddress, kEndAddress})
    dialog.addControl(id, MemoryControlKind::Edit);
  dialog.addControl(kSerialEnabled, MemoryControlKind::CheckBox);
  dialog.addControl(kAutoIncrement, MemoryControlKind::CheckBox);
  dialog.addControl(kOk, MemoryControlKind::Button);
  dialog.addControl(kCancel, MemoryControlKind::Button);
}

}  // namespace lw
