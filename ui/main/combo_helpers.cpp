#include "ui/main/combo_helpers.h"

#include "core/ports/dialog_port.h"

namespace lw {

uint32_t selectedNumber(const DialogPort& dialog, int comboId) {
  const int sel = dialog.comboSelection(comboId);
  return sel < 0 ? 0 : dialog.comboData(comboId, sel);
}

int selectByNumber(DialogPort& dialog, int comboId, uint32_t number) {
  for (int i = dialog.comboCount(comboId) - 1; i >= 0; --i) {
    if (dialog.comboData(comboId, i) == number) {
      dialog.comboSelect(comboId, i);
      return i;
    }
  }
  dialog.comboSelect(comboId, -1);
  return -1;
}

std::optional<std::string> textByNumber(const DialogPort& dialog, int comboId, uint32_t number) {
  std::optional<std::string> text;
  for (int i = dialog.comboCount(comboId) - 1; i >= 0; --i) {
    if (dialog.comboData(comboId, i) == number) text = dialog.comboText(comboId, i);
  }
  return text;
}

}  // namespace lw
