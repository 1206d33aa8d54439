#pragma once
// Message boxes and beeps with Qt widgets.
#include "core/ports/message_box_port.h"

class QWidget;

namespace lw {

class QtMessageBoxes final : public MessageBoxPort {
 public:
  // The main window owns boxes shown with BoxOwner::MainWindow.
  void setMainWindow(QWidget* window) { mainWindow_ = window; }
  int show(const std::string& text, const std::string& caption, unsigned style, BoxOwner owner) override;
  void beep(unsigned iconStyle) override;

 private:
  QWidget* mainWindow_ = nullptr;
};

}  // namespace lw
