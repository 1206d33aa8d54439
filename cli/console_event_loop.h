#pragma once
// The command-line tool's "user-interface thread" is its main thread: calls
// posted from the firmware-update worker wait in a queue until the main
// thread dispatches them, between reports of a long write or while it
// waits for the worker.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "core/ports/event_loop_port.h"

namespace lw::cli {

class ConsoleEventLoop final : public EventLoopPort {
 public:
  void post(std::function<void()> call) override;
  // Runs the calls posted so far (not those they post themselves).
  bool dispatchPending() override;

  // Runs posted calls as they come until done() holds, or until timeoutMs
  // passed without it. Returns done().
  bool runUntil(const std::function<bool()>& done, int timeoutMs);

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace lw::cli
