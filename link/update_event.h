#pragma once
// A manual-reset event: the firmware-update worker waits on it for the
// adapter in firmware-update mode to leave the bus; the UI thread signals
// it from its device-removal handling. Shared by both sides, so neither
// can use it after the other has let go of it.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace lw {

class UpdateEvent {
 public:
  void set() {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    changed_.notify_all();
  }
  void reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
  }
  bool isSet() const {
    std::lock_guard lock(mutex_);
    return signalled_;
  }
  // True when signalled within timeoutMs.
  bool waitFor(uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return signalled_; });
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;
};

}  // namespace lw
