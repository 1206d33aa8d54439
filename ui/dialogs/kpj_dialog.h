#pragma once
// The KPJ Dialog (dialog 207): after a project is saved, offers to make its
// request form and asks for the form's address block. Its texts come from
// the dialog itself, not from the language table.
#include "image/request_addressing.h"
#include "core/ids/kpj_dialog_ids.h"

namespace lw {

class DialogPort;

namespace kpjdlg {
inline constexpr char kTitle[] = "KPJ Dialog";
inline constexpr char kPrompt[] =
    "Need to generate a \"KPJ Request Form\"?\n"
    "If you don't need it, please press \"Cancel\"\n"
    "If you need it, please fill in the following information.";
inline constexpr char kToLabel[] = "To :";
inline constexpr char kFromLabel[] = "From :";
inline constexpr char kPartNoLabel[] = "Part No :";
}  // namespace kpjdlg

class KpjDialog {
 public:
  // The three fields start empty.
  void onInit(DialogPort& dialog);
  // OK takes the three fields; Cancel (also Escape) closes.
  void onCommand(DialogPort& dialog, int id);

  // The fields as they were at OK.
  const RequestAddressing& result() const { return result_; }

 private:
  RequestAddressing result_;
};

}  // namespace lw
