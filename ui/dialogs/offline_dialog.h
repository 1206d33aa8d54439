#pragma once
// The Off-line mode dialog (dialog 168, "Set Max Counter & Serial Number"):
// the max counter and the serial-number scheme of off-line programming.
// Every change goes straight into the off-line settings it was given, so
// they are current however the dialog ends; bad input is corrected in place
// with a beep, and each correction is also kept as a line of text (the
// command line reports them).
#include <cstdint>
#include <string>
#include <vector>

#include "core/ids/offline_dialog_ids.h"
#include "core/offline_settings.h"

namespace lw {

struct AppContext;
class DialogPort;

class OfflineDialog {
 public:
  // highestStartAddress: the part's flash size - 16.
  OfflineDialog(AppContext& ctx, OfflineSettings& settings, uint32_t highestStartAddress);

  // Texts and tooltip, limits, the fields filled, both boxes off.
  void onInit(DialogPort& dialog);
  // The content of an edit changed (typed, pasted or set by the dialog).
  void onChange(DialogPort& dialog, int id);
  // A click on a check box or a button; Escape arrives as offlinedlg::kEscape.
  void onCommand(DialogPort& dialog, int id);

  const std::vector<std::string>& corrections() const { return corrections_; }

 private:
  void setTexts(DialogPort& dialog);
  void applySerialSwitch(DialogPort& dialog);
  void maxCounterChanged(DialogPort& dialog);
  void startAddressChanged(DialogPort& dialog);
  void serialStringChanged(DialogPort& dialog);
  void accept(DialogPort& dialog);
  // Sets an edit's text and runs its change handling, as setting a text does.
  void setField(DialogPort& dialog, int id, const std::string& text);
  void correct(const std::string& what);
  void promptForMaxCounter();

  AppContext& ctx_;
  OfflineSettings& settings_;
  uint32_t highestStartAddress_;
  uint32_t maxCounter_ = 0;  // the dialog's own, exchanged with edit 1066
  bool maxCounterValid_ = true;
  std::vector<std::string> corrections_;
};

}  // namespace lw
