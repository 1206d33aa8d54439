#include "platform/qt/qt_hex_view.h"

namespace lw {

namespace {
template <typename Fn>
Fn resolve(ModulePort& modules, ModuleHandle module, const char* name) {
  return module ? reinterpret_cast<Fn>(modules.symbol(module, name)) : nullptr;
}
}  // namespace

QtHexView::QtHexView(ModulePort& modules, ModuleHandle module)
    : hasWindowClass_(resolve<HexEdit_HasWindowClassFn>(modules, module, "HexEdit_HasWindowClass")),
      createWindow_(resolve<HexEdit_CreateWindowFn>(modules, module, "HexEdit_CreateWindow")),
      sendMessage_(resolve<HexEdit_SendMessageFn>(modules, module, "HexEdit_SendMessage")),
      destroyWindow_(resolve<HexEdit_DestroyWindowFn>(modules, module, "HexEdit_DestroyWindow")) {}

QtHexView::~QtHexView() { destroy(); }

bool QtHexView::available() const {
  return hasWindowClass_ && createWindow_ && sendMessage_ && destroyWindow_ && hasWindowClass_(HEXEDIT_CLASS_NAME);
}

bool QtHexView::create(QWidget* parent, int controlId, Notify notify) {
  if (!available() || window_) return false;
  notify_ = std::move(notify);
  window_ = createWindow_(HEXEDIT_CLASS_NAME, parent, controlId, &QtHexView::notifyThunk, this);
  widget_ = static_cast<QWidget*>(window_);
  return window_ != nullptr;
}

void QtHexView::destroy() {
  // The parent may already have taken the widget with it.
  if (window_ && widget_) destroyWindow_(window_);
  window_ = nullptr;
  widget_ = nullptr;
}

intptr_t QtHexView::send(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  if (!window_ || !widget_) return 0;
  return sendMessage_(window_, msg, wParam, lParam);
}

void QtHexView::notifyThunk(void* context, int controlId, int code) {
  auto* self = static_cast<QtHexView*>(context);
  if (self->notify_) self->notify_(controlId, code);
}

}  // namespace lw
