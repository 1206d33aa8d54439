#include "cli/console_message_boxes.h"

#include "core/codes.h"

namespace lw::cli {

std::string messageLine(const std::string& caption, const std::string& text) {
  std::string line = caption.empty() ? text : caption + ": " + text;
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return line;
}

int ConsoleMessageBoxes::show(const std::string& text, const std::string& caption, unsigned style, BoxOwner) {
  const std::string line = messageLine(caption, text);
  lines_.push_back(line);
  boxes_.push_back({text, caption, style});
  if ((style & mb::kIconMask) == mb::kIconError) errorShown_ = true;
  if (beforeLine_) beforeLine_();
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
  const unsigned buttons = style & mb::kButtonMask;
  // Error boxes with OK and Cancel ignore the answer; only real questions
  // count as declined.
  if (buttons != mb::kOk && (style & mb::kIconMask) != mb::kIconError && !yes_) declined_ = true;
  switch (buttons) {
    case mb::kOkCancel: return yes_ ? kIdOk : kIdCancel;
    case mb::kYesNo: return yes_ ? kIdYes : kIdNo;
    case mb::kYesNoCancel: return yes_ ? kIdYes : kIdCancel;
    default: return kIdOk;
  }
}

bool ConsoleMessageBoxes::shown(const std::string& text) const {
  for (const ConsoleBox& box : boxes_) {
    if (box.text == text) return true;
  }
  return false;
}

}  // namespace lw::cli
