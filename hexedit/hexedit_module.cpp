// The module's exported entry points over the Qt widget.
#include <cstring>

#include "hexedit/hex_edit_widget.h"
#include "hexedit/hexedit_api.h"

#define HEXEDIT_EXPORT extern "C" __attribute__((visibility("default")))

using lw::hexedit::HexEditWidget;

HEXEDIT_EXPORT int HexEdit_HasWindowClass(const char* className) {
  return className && std::strcmp(className, HEXEDIT_CLASS_NAME) == 0;
}

HEXEDIT_EXPORT HexEdit_Window HexEdit_CreateWindow(const char* className, void* parent, int controlId,
                                                   HexEdit_NotifyFn notify, void* context) {
  if (!HexEdit_HasWindowClass(className) || !parent) return nullptr;
  auto* widget = new HexEditWidget(static_cast<QWidget*>(parent), controlId, [notify, context](int id, int code) {
    if (notify) notify(context, id, code);
  });
  return static_cast<QWidget*>(widget);
}

HEXEDIT_EXPORT intptr_t HexEdit_SendMessage(HexEdit_Window window, unsigned msg, uintptr_t wParam,
                                            intptr_t lParam) {
  auto* widget = qobject_cast<HexEditWidget*>(static_cast<QWidget*>(window));
  return widget ? widget->sendMessage(msg, wParam, lParam) : 0;
}

HEXEDIT_EXPORT void HexEdit_DestroyWindow(HexEdit_Window window) {
  delete qobject_cast<HexEditWidget*>(static_cast<QWidget*>(window));
}
