#include <chrono>
#include <thread>

#include "core/ports/clock_port.h"

namespace lw {

namespace {
class SystemClock final : public ClockPort {
 public:
  uint32_t tickCountMs() override {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  void sleepMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  std::time_t calendarSeconds() override { return std::time(nullptr); }
  LocalTime localTime() override {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  }
};
}  // namespace

ClockPort& systemClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace lw
