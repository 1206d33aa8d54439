#include "ui/dialogs/area_dialog.h"

#include <utility>

#include "core/ids/language_keys.h"
#include "core/ports/dialog_port.h"
#include "resources/hex_entry.h"
#include "ui/dialogs/hex_control.h"
#include "resources/language.h"

namespace lw {

AreaDialog::AreaDialog(const ResourceSource& resources, uint16_t languageIndex, uint32_t proposedAddress)
    : resources_(resources), languageIndex_(languageIndex), proposedAddress_(proposedAddress) {}

void AreaDialog::onInit(DialogPort& dialog) {
  if (const auto title = languageText(resources_, languageIndex_, areadlg::kDialogId)) {
    dialog.setTitle(captionPart(*title));
  }
  // The template's list ends at the address label; "Clear Buffer" and the
  // buttons follow so that the whole dialog changes language (their
  // English texts are the template's).
  const std::pair<int, uint16_t> captions[] = {
      {areadlg::kApRadio, areadlg::kApRadio},         {areadlg::kIapRadio, areadlg::kIapRadio},
      {areadlg::kAddressLabel, areadlg::kAddressLabel}, {areadlg::kClearBuffer, areadlg::kClearBuffer},
      {areadlg::kOk, textkey::kOkButton},             {areadlg::kCancel, textkey::kCancel}};
  for (const auto& [id, key] : captions) {
    if (const auto text = languageText(resources_, languageIndex_, key)) dialog.setText(id, captionPart(*text));
  }
  // Eight digits hold every 32-bit address.
  dialog.setTextLimit(areadlg::kAddressField, 8);
  writeHexControl(dialog, areadlg::kAddressField, proposedAddress_, 0);
  dialog.setChecked(areadlg::kApRadio, true);
  dialog.setChecked(areadlg::kIapRadio, false);
  dialog.setChecked(areadlg::kClearBuffer, true);
  dialog.setEnabled(areadlg::kAddressField, false);
  result_ = LoadArea{0, false, true};
}

void AreaDialog::onCommand(DialogPort& dialog, int id) {
  switch (id) {
    case areadlg::kApRadio:
      dialog.setEnabled(areadlg::kAddressField, false);
      result_.iapChosen = false;
      break;
    case areadlg::kIapRadio:
      dialog.setEnabled(areadlg::kAddressField, true);
      result_.iapChosen = true;
      break;
    case areadlg::kClearBuffer:
      result_.clearBuffer = dialog.isChecked(areadlg::kClearBuffer);
      break;
    case areadlg::kOk:
      result_.address = result_.iapChosen ? readHexControl(dialog, areadlg::kAddressField) : 0;
      dialog.endDialog(areadlg::kOk);
      break;
    case areadlg::kCancel:
      dialog.endDialog(areadlg::kCancel);
      break;
    default:
      break;
  }
}

}  // namespace lw
