#pragma once
// The hex view as the program reaches it: the window of the hex-view module
// loaded at start-up, created and driven only through the entry points
// resolved by name from that module.
#include <QPointer>
#include <QWidget>
#include <functional>

#include "hexedit/hexedit_api.h"
#include "core/ports/hex_view_port.h"
#include "core/ports/module_port.h"

namespace lw {

class QtHexView final : public HexViewPort {
 public:
  using Notify = std::function<void(int controlId, int code)>;

  QtHexView(ModulePort& modules, ModuleHandle module);
  ~QtHexView() override;
  QtHexView(const QtHexView&) = delete;
  QtHexView& operator=(const QtHexView&) = delete;

  // Whether the module provides every entry point and the window class.
  bool available() const;
  // Creates the view as a child of parent; false when the module cannot.
  bool create(QWidget* parent, int controlId, Notify notify);
  QWidget* widget() const { return widget_; }
  // Destroys the view; must happen before the module is unloaded.
  void destroy();

  intptr_t send(unsigned msg, uintptr_t wParam, intptr_t lParam) override;

 private:
  static void notifyThunk(void* context, int controlId, int code);

  HexEdit_HasWindowClassFn hasWindowClass_ = nullptr;
  HexEdit_CreateWindowFn createWindow_ = nullptr;
  HexEdit_SendMessageFn sendMessage_ = nullptr;
  HexEdit_DestroyWindowFn destroyWindow_ = nullptr;
  HexEdit_Window window_ = nullptr;
  QPointer<QWidget> widget_;
  Notify notify_;
};

}  // namespace lw
