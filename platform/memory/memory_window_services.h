#pragma once
// Small window services held in memory, for tests: timers that record what
// was started, a progress painter that keeps the last picture, an event
// loop whose posted calls run when the test says, and a device watch whose
// registration result the test chooses.
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "core/ports/device_watch_port.h"
#include "core/ports/event_loop_port.h"
#include "core/ports/progress_paint_port.h"

namespace lw {

class MemoryTimers final : public TimerPort {
 public:
  void startTimer(int id, int periodMs) override { running[id] = periodMs; }
  void killTimer(int id) override { running.erase(id); }
  std::map<int, int> running;  // id -> period
};

class RecordingProgressPainter final : public ProgressPaintPort {
 public:
  PaintRect clientRect(int) const override { return rect; }
  void paintProgress(int controlId, const ProgressPaint& paint) override {
    painted.push_back({controlId, paint});
  }
  PaintRect rect{0, 0, 377, 21};
  std::vector<std::pair<int, ProgressPaint>> painted;
};

class ManualEventLoop final : public EventLoopPort {
 public:
  void post(std::function<void()> call) override {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(call));
  }
  bool dispatchPending() override {
    runPending();
    return true;
  }
  // Runs the calls posted so far; returns how many ran.
  int runPending() {
    std::deque<std::function<void()>> calls;
    {
      std::lock_guard lock(mutex_);
      calls.swap(queue_);
    }
    for (auto& call : calls) call();
    return static_cast<int>(calls.size());
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
};

class MemoryDeviceWatch final : public DeviceWatchPort {
 public:
  bool watch(Listener l) override {
    if (!registrationSucceeds) return false;
    listener = std::move(l);
    return true;
  }
  void unwatch() override {
    listener = nullptr;
    ++unwatchCount;
  }
  void deliver(bool arrived, const std::string& path) {
    if (listener) listener(arrived, path);
  }
  bool registrationSucceeds = true;
  Listener listener;
  int unwatchCount = 0;
};

}  // namespace lw
