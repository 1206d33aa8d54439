#pragma once
// Collects arrival and removal notifications of the HID layer.
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace lw::test {

struct Notes {
  std::mutex mutex;
  std::vector<std::pair<int, std::string>> seen;

  static void record(void* context, int arrived, const char* path) {
    auto* n = static_cast<Notes*>(context);
    std::lock_guard lock(n->mutex);
    n->seen.emplace_back(arrived, path);
  }

  // Waits until count notifications came or the time is up.
  std::vector<std::pair<int, std::string>> waitFor(std::size_t count, int ms = 2000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
      {
        std::lock_guard lock(mutex);
        if (seen.size() >= count || std::chrono::steady_clock::now() >= until) return seen;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
};

}  // namespace lw::test
