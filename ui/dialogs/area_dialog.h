#pragma once
// The "Select AP/IAP area" dialog (dialog 146): asks where a raw or HEX image
// goes, AP (flash offset 0) or IAP at a typed hexadecimal address, and
// whether the current Code buffer is dropped first.
#include <cstdint>

#include "image/load_area.h"
#include "core/ids/area_dialog_ids.h"

namespace lw {

class DialogPort;
class ResourceSource;

namespace areadlg {
}  // namespace areadlg

class AreaDialog {
 public:
  AreaDialog(const ResourceSource& resources, uint16_t languageIndex, uint32_t proposedAddress);

  // Texts from the language table, the proposed address in the field, AP
  // selected, "Clear Buffer" checked, the field disabled.
  void onInit(DialogPort& dialog);
  // A click on a radio button, the check box, OK or Cancel (also Escape).
  void onCommand(DialogPort& dialog, int id);

  // The answer, valid after OK.
  const LoadArea& result() const { return result_; }

 private:
  const ResourceSource& resources_;
  uint16_t languageIndex_;
  uint32_t proposedAddress_;
  LoadArea result_;
};

}  // namespace lw
