#pragma once
// The user-interface thread's event loop as the logic needs it: one-shot or
// periodic timers of a window, calls posted from any thread into the UI
// thread, and dispatching waiting events during long operations.
#include <functional>

namespace lw {

class EventLoopPort {
 public:
  virtual ~EventLoopPort() = default;
  // Posts a call to run later on the UI thread. Safe from any thread.
  virtual void post(std::function<void()> call) = 0;
  // Dispatches events that are already waiting. Returns false when the
  // application is quitting (the caller then stops what it is doing).
  virtual bool dispatchPending() = 0;
};

// Timers of one window; ticks are delivered to the window's logic as
// onTimer(id).
class TimerPort {
 public:
  virtual ~TimerPort() = default;
  virtual void startTimer(int id, int periodMs) = 0;
  virtual void killTimer(int id) = 0;
};

}  // namespace lw
