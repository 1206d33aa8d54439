#include "ui/dialogs/kpj_dialog.h"

#include <utility>

#include "core/ids/language_keys.h"
#include "core/ports/dialog_port.h"
#include "resources/language.h"

namespace lw {

KpjDialog::KpjDialog(const ResourceSource& resources, uint16_t languageIndex)
    : resources_(resources), languageIndex_(languageIndex) {}

void KpjDialog::onInit(DialogPort& dialog) {
  if (const auto title = languageText(resources_, languageIndex_, kpjdlg::kDialogId)) dialog.setTitle(captionPart(*title));
  const std::pair<int, uint16_t> texts[] = {
      {kpjdlg::kPromptLabel, kpjdlg::kPromptLabel}, {kpjdlg::kToLabel, kpjdlg::kToLabel},
      {kpjdlg::kFromLabel, kpjdlg::kFromLabel},     {kpjdlg::kPartNoLabel, kpjdlg::kPartNoLabel},
      {kpjdlg::kOk, textkey::kOkButton},            {kpjdlg::kCancel, textkey::kCancel}};
  for (const auto& [id, key] : texts) {
    if (const auto text = languageText(resources_, languageIndex_, key)) dialog.setText(id, captionPart(*text));
  }
  for (const int id : {kpjdlg::kToField, kpjdlg::kFromField, kpjdlg::kPartNoField}) dialog.setText(id, "");
  result_ = RequestAddressing{};
}

void KpjDialog::onCommand(DialogPort& dialog, int id) {
  if (id == kpjdlg::kOk) {
    result_ = {dialog.text(kpjdlg::kToField), dialog.text(kpjdlg::kFromField), dialog.text(kpjdlg::kPartNoField)};
    dialog.endDialog(kpjdlg::kOk);
  } else if (id == kpjdlg::kCancel) {
    dialog.endDialog(kpjdlg::kCancel);
  }
}

}  // namespace lw
