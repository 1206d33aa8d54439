#pragma once
// A hex view without a window, for tests: the module's own byte model and
// message handling, with the change notification delivered to a callback.
#include <functional>

#include "hexedit/hex_view_state.h"
#include "core/ports/hex_view_port.h"

namespace lw {

class MemoryHexView final : public HexViewPort {
 public:
  using Notify = std::function<void(int controlId, int code)>;
  explicit MemoryHexView(int controlId = 1022);

  void setNotify(Notify notify) { notify_ = std::move(notify); }
  intptr_t send(unsigned msg, uintptr_t wParam, intptr_t lParam) override;

  // The view's content, for edits as a user would make them.
  hexedit::ByteModel& model() { return state_.model; }
  const hexedit::HexViewSettings& settings() const { return state_.settings; }
  // Every message sent, in order.
  struct Sent {
    unsigned msg;
    uintptr_t wParam;
    intptr_t lParam;
  };
  std::vector<Sent> sent;

 private:
  int controlId_;
  hexedit::HexViewState state_;
  Notify notify_;
};

}  // namespace lw
