#pragma once
// Message boxes for tests: every box shown is recorded, and answers come
// from a queue the test fills (the first button of the box when it is empty).
#include <deque>
#include <vector>

#include "core/ports/message_box_port.h"

namespace lw {

struct ShownBox {
  std::string text;
  std::string caption;
  unsigned style;
  BoxOwner owner;
};

class RecordingMessageBoxes final : public MessageBoxPort {
 public:
  int show(const std::string& text, const std::string& caption, unsigned style, BoxOwner owner) override;
  void beep(unsigned iconStyle) override { beeps.push_back(iconStyle); }

  std::vector<ShownBox> shown;
  std::vector<unsigned> beeps;
  std::deque<int> answers;
};

}  // namespace lw
