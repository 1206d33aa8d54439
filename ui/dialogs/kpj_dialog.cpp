#include "ui/dialogs/kpj_dialog.h"

#include "core/ports/dialog_port.h"

namespace lw {

void KpjDialog::onInit(DialogPort& dialog) {
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
