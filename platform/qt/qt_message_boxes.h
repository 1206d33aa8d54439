#pragma once
// Message boxes and beeps with Qt widgets.
#include "core/ports/message_box_port.h"

#include <QDialog>
#include <QMetaObject>

namespace lw {

class QtMessageBoxes final : public MessageBoxPort {
 public:
  // The main window owns boxes shown with BoxOwner::MainWindow. Once that
  // window has ended (closed during an operation that then finishes), its
  // boxes are not shown any more: they answer as if closed at once.
  void setMainWindow(QDialog* window);
  int show(const std::string& text, const std::string& caption, unsigned style, BoxOwner owner) override;
  void beep(unsigned iconStyle) override;

 private:
  QDialog* mainWindow_ = nullptr;
  bool mainWindowEnded_ = false;
  QMetaObject::Connection finishedConnection_;
};

}  // namespace lw
