#include "cli/console_event_loop.h"

#include <chrono>

namespace lw::cli {

void ConsoleEventLoop::post(std::function<void()> call) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(call));
  }
  posted_.notify_one();
}

bool ConsoleEventLoop::dispatchPending() {
  std::deque<std::function<void()>> calls;
  {
    std::lock_guard lock(mutex_);
    calls.swap(queue_);
  }
  for (auto& call : calls) {
    if (call) call();
  }
  return true;
}

bool ConsoleEventLoop::runUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    {
      std::unique_lock lock(mutex_);
      if (!posted_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) return done();
    }
    dispatchPending();
  }
  return true;
}

}  // namespace lw::cli
