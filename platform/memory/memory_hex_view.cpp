#include "platform/memory/memory_hex_view.h"

namespace lw {

MemoryHexView::MemoryHexView(int controlId) : controlId_(controlId) {
  state_.model.setChangeListener([this] {
    if (notify_) notify_(controlId_, hexmsg::kChangedNotification);
  });
}

intptr_t MemoryHexView::send(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  sent.push_back({msg, wParam, lParam});
  return hexedit::handleHexMessage(state_, msg, wParam, lParam);
}

}  // namespace lw
