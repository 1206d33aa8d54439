#include "platform/memory/recording_message_boxes.h"

#include "core/codes.h"

namespace lw {

int RecordingMessageBoxes::show(const std::string& text, const std::string& caption, unsigned style,
                                BoxOwner owner) {
  shown.push_back({text, caption, style, owner});
  if (!answers.empty()) {
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  const unsigned buttons = style & mb::kButtonMask;
  return buttons == mb::kYesNo || buttons == mb::kYesNoCancel ? kIdYes : kIdOk;
}

}  // namespace lw
