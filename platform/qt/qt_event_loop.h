#pragma once
// The UI thread's event loop on Qt: posted calls run as queued calls on the
// application object; dispatchPending processes waiting events.
#include <QDialog>
#include <QMetaObject>
#include <atomic>

#include "core/ports/event_loop_port.h"

namespace lw {

class QtEventLoop final : public EventLoopPort {
 public:
  QtEventLoop();
  ~QtEventLoop() override;
  void post(std::function<void()> call) override;
  bool dispatchPending() override;
  // The program runs the main window's own loop, not the application's, so
  // the application's quit signal never comes: the end of that window is
  // the quit request that ends a long operation (a block write) at once.
  void quitWhenFinished(QDialog& mainWindow);

 private:
  std::atomic<bool> quitting_{false};
  QMetaObject::Connection quitConnection_;
  QMetaObject::Connection finishedConnection_;
};

}  // namespace lw
