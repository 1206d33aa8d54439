#include "ui/dialogs/offline_dialog.h"

#include <cctype>
#include <string_view>

#include "core/codes.h"
#include "core/context/app_context.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "core/ports/dialog_port.h"
#include "core/ports/message_box_port.h"
#include "core/text.h"
#include "resources/hex_entry.h"
#include "resources/language.h"
#include "ui/dialogs/hex_control.h"
#include "ui/dialogs/serial_string.h"

namespace lw {

namespace {

using namespace offlinedlg;

constexpr int kSerialStringLimit = 12;
constexpr int kHexDigits = 8;

// The serial controls that follow "Enable SerialNumber".
constexpr int kSerialControls[] = {kSerialString, kStartAddress, kEndAddress, kSerialValue, kAutoIncrement};

// A decimal number as the dialog framework reads it: digits, optionally
// surrounded by blanks; values past 32 bits saturate (they are clamped
// anyway). Nothing when the text holds anything else.
std::optional<uint32_t> readDecimal(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  if (text.empty()) return 0;  // an empty field reads as 0
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(c - '0'), UINT32_MAX);
  }
  return static_cast<uint32_t>(value);
}

}  // namespace

OfflineDialog::OfflineDialog(AppContext& ctx, OfflineSettings& settings, uint32_t highestStartAddress)
    : ctx_(ctx), settings_(settings), highestStartAddress_(highestStartAddress) {}

void OfflineDialog::setTexts(DialogPort& dialog) {
  if (const std::string title = languageTextOf(ctx_, textkey::kOfflineDialogTitle); !title.empty())
    dialog.setTitle(captionPart(title));
  for (const int id : {kMaxCounterLabel, kSerialEnabled, kStringLabel, kNumberLabel, kAutoIncrement,
                       kStartAddressLabel, kEndAddressLabel, kOk, kCancel}) {
    const std::string text = languageTextOf(ctx_, static_cast<uint16_t>(id));
    if (!text.empty()) dialog.setText(id, captionPart(text));
  }
  if (const std::string tip = tooltipPart(languageTextOf(ctx_, textkey::kOk)); !tip.empty())
    dialog.setTooltip(kOk, tip);
}

void OfflineDialog::onInit(DialogPort& dialog) {
  setTexts(dialog);
  dialog.setTextLimit(kSerialString, kSerialStringLimit);
  dialog.setTextLimit(kStartAddress, kHexDigits);
  dialog.setTextLimit(kSerialValue, kHexDigits);
  setField(dialog, kMaxCounter, std::to_string(maxCounter_));
  setField(dialog, kSerialString, "");
  setField(dialog, kStartAddress, hexFormat(settings_.startAddress, kHexDigits));
  setField(dialog, kSerialValue, hexFormat(0, kHexDigits));
  dialog.setChecked(kSerialEnabled, false);
  dialog.setChecked(kAutoIncrement, false);
  applySerialSwitch(dialog);
  corrections_.clear();  // what the dialog itself set is no correction of the user's
}

void OfflineDialog::setField(DialogPort& dialog, int id, const std::string& text) {
  dialog.setText(id, text);
  onChange(dialog, id);
}

void OfflineDialog::correct(const std::string& what) {
  if (ctx_.ports.messages) ctx_.ports.messages->beep(mb::kIconError);
  corrections_.push_back(what);
}

void OfflineDialog::promptForMaxCounter() {
  if (ctx_.ports.messages)
    ctx_.ports.messages->show(languageTextOf(ctx_, textkey::kMaxCounterNotANumber), ctx_.state.applicationName, mb::kIconWarning);
}

void OfflineDialog::applySerialSwitch(DialogPort& dialog) {
  const bool on = dialog.isChecked(kSerialEnabled);
  for (const int id : kSerialControls) dialog.setEnabled(id, on);
  if (on) settings_.flags |= offlineflag::kSerialEnabled;
  else settings_.flags &= static_cast<uint8_t>(~offlineflag::kSerialEnabled);
}

void OfflineDialog::maxCounterChanged(DialogPort& dialog) {
  const std::string text = dialog.text(kMaxCounter);
  const std::optional<uint32_t> value = readDecimal(text);
  maxCounterValid_ = value.has_value();
  if (!value) {
    // The stored max counter keeps its last valid value.
    promptForMaxCounter();
    return;
  }
  maxCounter_ = *value;
  if (maxCounter_ > kMaxCounterLimit) {
    // The range check prompts first, as for a non-number; then the value
    // is corrected in place.
    promptForMaxCounter();
    maxCounter_ = kMaxCounterLimit;
    dialog.setText(kMaxCounter, std::to_string(maxCounter_));
    correct(format("Max Counter %s corrected to %u", text.c_str(), maxCounter_));
  }
  settings_.maxCounter = static_cast<uint16_t>(maxCounter_ & 0xFFFF);
}

void OfflineDialog::startAddressChanged(DialogPort& dialog) {
  const std::string text = dialog.text(kStartAddress);
  uint32_t value = hexRead(text);
  if (value > highestStartAddress_) {
    value = highestStartAddress_;
    dialog.setText(kStartAddress, hexFormat(value, kHexDigits));
    correct(format("Start Address %s corrected to %s (the highest for this part)", text.c_str(),
                   hexFormat(value, kHexDigits).c_str()));
  } else if (value % 4 != 0 && text.size() == kHexDigits) {
    value &= ~uint32_t{3};
    dialog.setText(kStartAddress, hexFormat(value, kHexDigits));
    correct(format("Start Address %s corrected to %s (a multiple of 4)", text.c_str(),
                   hexFormat(value, kHexDigits).c_str()));
  }
  settings_.startAddress = value;
  dialog.setText(kEndAddress, hexFormat(value + (kSerialFieldBytes - 1), kHexDigits));
}

void OfflineDialog::serialStringChanged(DialogPort& dialog) {
  const std::string text = dialog.text(kSerialString);
  const SerialStringBytes s = serialStringBytes(text);
  // The converted text and its zero go over the start of the field; the
  // bytes after them stay as they were.
  std::copy_n(s.bytes.begin(), s.length + 1, settings_.serialString.begin());
  const std::string kept = codePageToUtf8(std::string(s.bytes.begin(), s.bytes.begin() + s.length));
  if (s.cut)
    correct(format("String \"%s\" cut to \"%s\" (at most 12 bytes in the code page)", text.c_str(), kept.c_str()));
  else if (s.replaced)
    correct(format("String \"%s\" stored as \"%s\" (characters the code page lacks)", text.c_str(), kept.c_str()));
}

void OfflineDialog::onChange(DialogPort& dialog, int id) {
  switch (id) {
    case kMaxCounter: maxCounterChanged(dialog); break;
    case kStartAddress: startAddressChanged(dialog); break;
    case kSerialValue: settings_.serialValue = readHexControl(dialog, kSerialValue); break;
    case kSerialString: serialStringChanged(dialog); break;
    default: break;
  }
}

void OfflineDialog::accept(DialogPort& dialog) {
  if (!maxCounterValid_) {
    promptForMaxCounter();
    dialog.setFocus(kMaxCounter);
    return;
  }
  const uint32_t address = readHexControl(dialog, kStartAddress);
  if (address % 4 != 0) {
    const std::string text = dialog.text(kStartAddress);
    setField(dialog, kStartAddress, hexFormat(address & ~uint32_t{3}, kHexDigits));
    correct(format("Start Address %s corrected to %s (a multiple of 4)", text.c_str(),
                   hexFormat(address & ~uint32_t{3}, kHexDigits).c_str()));
    return;
  }
  dialog.endDialog(kResultOk);
}

void OfflineDialog::onCommand(DialogPort& dialog, int id) {
  switch (id) {
    case kSerialEnabled: applySerialSwitch(dialog); break;
    case kAutoIncrement:
      if (dialog.isChecked(kAutoIncrement)) settings_.flags |= offlineflag::kAutoIncrement;
      else settings_.flags &= static_cast<uint8_t>(~offlineflag::kAutoIncrement);
      break;
    case kOk:
    case 1:  // Enter: the default button
      accept(dialog);
      break;
    case kCancel:
    case kEscape: dialog.endDialog(kResultCancel); break;
    default: break;
  }
}

}  // namespace lw
