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
  if ((style & mb::kIconMask) == mb::kIconError) errorShown_ = true;
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
  switch (style & mb::kButtonMask) {
    case mb::kOkCancel: return yes_ ? kIdOk : kIdCancel;
    case mb::kYesNo: return yes_ ? kIdYes : kIdNo;
    case mb::kYesNoCancel: return yes_ ? kIdYes : kIdCancel;
    default: return kIdOk;
  }
}

}  // namespace lw::cli
