#pragma once
// The UI thread's event loop on Qt: posted calls run as queued calls on the
// application object; dispatchPending processes waiting events.
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

 private:
  std::atomic<bool> quitting_{false};
  QMetaObject::Connection quitConnection_;
};

}  // namespace lw
